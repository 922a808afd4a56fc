#include "app/TAboutBox.h"

#include "app/FormLayout.h"

#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

TAboutBox* AboutBox = nullptr;

namespace {
const QSize ClientSize(226, 221);
const QSize IconSize(160, 47);

QLabel* PlaceText(const QString& text, QPoint at, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->move(at);
    label->adjustSize();
    return label;
}
} // namespace

void TAboutBox::ShowDetails(const QString& details)
{
    if (details.isEmpty() || !Details->isHidden())
        return;
    auto* innerBevel = Details->parentWidget();
    Details->setText(details);
    Details->move(Version->x(), Version->geometry().bottom() + 9);
    Details->adjustSize();
    Details->show();
    const QSize grown(std::max(0, Details->geometry().right() + Version->x() - innerBevel->width()),
                      Details->height() + 8);
    innerBevel->resize(innerBevel->size() + grown);
    Panel1->resize(Panel1->size() + grown);
    OKButton->move(OKButton->pos() + QPoint(grown.width() / 2, grown.height()));
    setFixedSize(size() + grown);
}

QImage ProgramIconImage()
{
    QImage image(IconSize, QImage::Format_RGB32);
    image.fill(QColor(0x00, 0x00, 0x80));
    QPainter painter(&image);
    // The bus line with its two terminations.
    painter.fillRect(4, 38, 152, 3, QColor(0xFF, 0xD7, 0x00));
    painter.fillRect(4, 34, 3, 11, QColor(0xFF, 0xD7, 0x00));
    painter.fillRect(153, 34, 3, 11, QColor(0xFF, 0xD7, 0x00));
    // The module, its drop line and its memory chips.
    painter.fillRect(18, 6, 76, 26, QColor(0xC0, 0xC0, 0xC0));
    painter.setPen(Qt::white);
    painter.drawLine(18, 6, 93, 6);
    painter.drawLine(18, 6, 18, 31);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawLine(19, 31, 93, 31);
    painter.drawLine(93, 7, 93, 31);
    painter.fillRect(54, 32, 4, 6, QColor(0xFF, 0xD7, 0x00));
    for (int chip = 0; chip < 3; ++chip)
        painter.fillRect(26 + chip * 22, 14, 16, 10, Qt::black);
    painter.fillRect(82, 10, 6, 4, QColor(0x00, 0xFF, 0x00));
    // The clock face with its hands at ten past ten.
    painter.setPen(Qt::white);
    painter.setBrush(QColor(0x00, 0x80, 0x80));
    painter.drawEllipse(QPoint(126, 19), 15, 15);
    painter.drawLine(126, 19, 119, 13);
    painter.drawLine(126, 19, 136, 10);
    return image;
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(tr("About"));
    UseDesignFont(this);
    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 209, 169);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    // The raised inner bevel holds the texts, so a text that needs more room grows both bevels.
    auto* innerBevel = new QFrame(Panel1);
    innerBevel->setGeometry(1, 1, 207, 167);
    innerBevel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    ProgramIcon = new QLabel(innerBevel);
    ProgramIcon->setGeometry(23, 15, 161, 49);
    ProgramIcon->setPixmap(QPixmap::fromImage(ProgramIconImage()));
    ProgramIcon->setAccessibleName(tr("Program icon"));
    ProductName = PlaceText(tr("Product Name"), QPoint(23, 79), innerBevel);
    Quillfen = PlaceText(QStringLiteral("Quillfen"), QPoint(23, 103), innerBevel);
    Version = PlaceText(tr("Version"), QPoint(23, 127), innerBevel);
    Label2 = PlaceText(QStringLiteral("2.03"), QPoint(71, 127), innerBevel);
    Details = new QLabel(innerBevel);
    Details->hide();

    OKButton = new QPushButton(tr("&OK"), this);
    OKButton->setGeometry(79, 188, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    FitWindowToFont(this, ClientSize);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
