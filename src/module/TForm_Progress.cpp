#include "module/TForm_Progress.h"

#include "app/FormLayout.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

// The dialog's outer size is 381 x 214; this is its client area inside a standard frame.
constexpr int ClientWidth = 373;
constexpr int ClientHeight = 187;

QLabel* StaticText(QWidget* parent, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

}  // namespace

TForm_Progress::TForm_Progress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(tr("Progress"));
    setWindowModality(Qt::WindowModal);
    UseDesignFont(this);

    StaticText1 = StaticText(this, tr("Status:"), 67, 50);
    StaticText_Status = StaticText(this, QString(), 113, 50);
    SetLaterTexts(StaticText_Status, {tr("Uploading Memory")});

    AdvProgress1 = new QProgressBar(this);
    AdvProgress1->setGeometry(67, 76, 245, 32);
    AdvProgress1->setRange(0, 100);
    AdvProgress1->setValue(0);
    AdvProgress1->setTextVisible(false);
    AdvProgress1->setAccessibleName(tr("Upload progress"));

    StaticText3 = StaticText(this, tr("Bytes Uploaded:"), 68, 118);
    StaticText_BytesRead = StaticText(this, QStringLiteral("000000"), 150, 118);
    SetLaterTexts(StaticText_BytesRead, {QString::number(UINT32_MAX)});

    Button1 = new QPushButton(tr("&Cancel"), this);
    Button1->setGeometry(153, 142, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm_Progress::Button1Click);
    FitWindowToFont(this, QSize(ClientWidth, ClientHeight));
}

void TForm_Progress::ShowProgress(std::uint32_t percentage, std::uint32_t bytesUploaded)
{
    // A value outside the range would be ignored by the bar, so it would freeze below its top.
    AdvProgress1->setValue(static_cast<int>(std::min<std::uint32_t>(percentage, 100)));
    StaticText_BytesRead->setText(QString::number(bytesUploaded));
}

void TForm_Progress::reject()
{
    cancelRequested_ = true;
    QDialog::reject();
}

void TForm_Progress::Button1Click()
{
    reject();
}
