#include "platform/MessageBox.h"

#include "platform/Display.h"
#include "platform/FileName.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QStyle>

#include <cstdio>

namespace platform {

namespace {

MessageBoxService* installedService = nullptr;

// Title-bar heights beside a caption: the window's icon, up to three buttons, the margins.
constexpr int TitleBarButtonRoom = 6;

QMessageBox::StandardButtons QtButtons(MessageBoxButtons buttons)
{
    switch (buttons) {
    case MessageBoxButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageBoxButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageBoxButtons::OK:
        break;
    }
    return QMessageBox::Ok;
}

// The window a box belongs over: the active one, else the first visible main window.
QWidget* OwnerWindow()
{
    if (QWidget* active = QApplication::activeWindow())
        return active->window();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->inherits("QMainWindow"))
            return widget;
    return nullptr;
}

// The window manager draws the caption in the title bar beside the window's icon and buttons; a
// box only as wide as a short text ("Ok!") would show none of it.
void MakeRoomForCaption(QMessageBox& box, const QString& caption)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int titleBar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + TitleBarButtonRoom * titleBar;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

MessageBoxResult MessageBox(const QString& text, const QString& caption, MessageBoxButtons buttons, const QString& reason)
{
    MessageBoxService& service = installedService ? *installedService : DisplayMessageBoxService();
    return service.Show(text, caption, buttons, reason);
}

QString WithReason(const QString& text, const QString& reason)
{
    if (reason.isEmpty())
        return text;
    const bool sentenceEnds = text.endsWith(u'.') || text.endsWith(u'!') || text.endsWith(u'?');
    return text + (sentenceEnds ? QLatin1String(" ") : QLatin1String(": ")) + reason;
}

MessageBoxResult SafeAnswer(MessageBoxButtons buttons)
{
    switch (buttons) {
    case MessageBoxButtons::YesNo:
        return MessageBoxResult::No;
    case MessageBoxButtons::YesNoCancel:
        return MessageBoxResult::Cancel;
    case MessageBoxButtons::OK:
        break;
    }
    return MessageBoxResult::Ok;
}

std::unique_ptr<QMessageBox> CreateQtMessageBox(const QString& text, const QString& caption, MessageBoxButtons buttons,
                                                const QString& reason)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, caption, text, QtButtons(buttons), OwnerWindow());
    box->setInformativeText(reason);
    MakeRoomForCaption(*box, caption);
    box->setWindowModality(Qt::ApplicationModal);
    if (buttons == MessageBoxButtons::YesNo) {
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
    }
    return box;
}

MessageBoxResult QtMessageBoxService::Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                                           const QString& reason)
{
    const std::unique_ptr<QMessageBox> box = CreateQtMessageBox(text, caption, buttons, reason);
    switch (box->exec()) {
    case QMessageBox::Ok:
        return MessageBoxResult::Ok;
    case QMessageBox::Yes:
        return MessageBoxResult::Yes;
    case QMessageBox::No:
        return MessageBoxResult::No;
    case QMessageBox::Cancel:
        return MessageBoxResult::Cancel;
    default:
        return SafeAnswer(buttons); // closed some other way
    }
}

MessageBoxResult HeadlessMessageBoxService::Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                                                 const QString& reason)
{
    QString line = caption + QLatin1String(": ") + WithReason(text, reason);
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s\n", FileNameBytes(line).constData());
    std::fflush(stderr);
    return SafeAnswer(buttons);
}

MessageBoxService& DisplayMessageBoxService()
{
    static QtMessageBoxService qtService;
    static HeadlessMessageBoxService headlessService;
    if (HasDisplay())
        return qtService;
    return headlessService;
}

void SetMessageBoxService(MessageBoxService* service)
{
    installedService = service;
}

ScopedMessageBoxService::ScopedMessageBoxService(MessageBoxService& service)
    : previous_(installedService)
{
    installedService = &service;
}

ScopedMessageBoxService::~ScopedMessageBoxService()
{
    installedService = previous_;
}

} // namespace platform
