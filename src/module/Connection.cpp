// Connecting to the module, the online and offline looks of the window, and the clock poll.
#include "app/TForm_Korvane.h"

#include "app/FileNameEdit.h"
#include "app/PanelStatusBar.h"
#include "app/Wording.h"
#include "driver/DriverBinding.h"
#include "module/ClockSync.h"
#include "platform/LastError.h"
#include "platform/MessageBox.h"
#include "platform/WaitCursor.h"
#include "widgets/VrLeds.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cmath>

namespace {
// Dark red on a light scheme, light red on a dark one: at least 4.5:1 against either.
QColor ClockWarningColour(const QPalette& scheme)
{
    return scheme.color(QPalette::Window).lightness() < 128 ? QColor(0xFF, 0x80, 0x80) : QColor(0xC0, 0x00, 0x00);
}

void ShowError(const QString& text, const QString& reason)
{
    platform::MessageBox(text, TForm_Korvane::tr("Error"), platform::MessageBoxButtons::OK, reason);
}

// The controls that act on the module: usable only while it is connected.
void EnableModuleOperations(TForm_Korvane& window, bool enabled)
{
    window.Button_UploadMemory->setEnabled(enabled);
    window.Button_EraseMemory->setEnabled(enabled);
    window.Button_UploadConfiguration->setEnabled(enabled);
    window.AdvFileNameEdit_FileName->setEnabled(enabled);
    window.AdvFileNameEdit_Config->setEnabled(enabled);
    window.OpenSettings1->setEnabled(enabled);
    window.SaveSettingsAs1->setEnabled(enabled);
}

} // namespace

QString TForm_Korvane::DriverReason() const
{
    return Driver ? QString::fromStdString(Driver->LastReason()) : QString();
}

bool TForm_Korvane::ConnectModule()
{
    if (!Driver)
        return false;
    int32_t opened = 0;
    {
        platform::WaitCursor hourglass;
        // Only the library's own reason may count: without an entry point nothing sets the code.
        platform::SetLastError(0);
        opened = Driver->OpenInterface();
    }
    if (opened == 0) {
        const uint32_t code = platform::GetLastError();
        const Wording message(code == KORVANE_ERROR_WRONG_MODE
                                  ? QT_TRANSLATE_NOOP("TForm_Korvane", "Interface is not in correct mode!")
                                  : QT_TRANSLATE_NOOP("TForm_Korvane", "Cannot Open Interface"));
        // The library's words, else the system's for its code.
        QString reason = DriverReason();
        if (reason.isEmpty() && code != 0 && code != KORVANE_ERROR_WRONG_MODE)
            reason = platform::ErrorText(code);
        FailureReason = platform::WithReason(message.English(), reason);
        ShowError(message.Shown(), reason);
        return false;
    }
    // Before the clock poll starts, so no poll's read falls between the measurement's readings.
    // An unattended run without a window has nowhere to show it.
    ShowClockOffset(SilentMode ? std::nullopt : clocksync::MeasureOffset(*Driver));

    Connected = true;
    Timer_TimeDate->start();
    ShowInterfaceKind();
    Button_Connect->setEnabled(false);
    Button_Disconnect->setEnabled(true);
    ShowSettingsTab(true);
    StatusBar1->setPanelText(0, tr("Connection:Online"));
    ShowConnectionLed(true);
    Menu_Configuration->setEnabled(false);
    EnableModuleOperations(*this, true);

    Identity = {};
    if (ReadSettings()) {
        SettingsToControls();
        // A module that gave no settings would keep the window waiting for each identity object.
        Identity = ReadModuleIdentity(*Driver);
        ShowInterfaceKind();
    } else {
        ShowError(tr("Settings cannot be read!"), DriverReason());
    }
    SetDefaultFileNames();
    return true;
}

void TForm_Korvane::DisconnectModule()
{
    if (!Driver)
        return;
    SetOperationText(tr("Operation: Disconnecting"));
    GoOffline();
}

void TForm_Korvane::GoOffline()
{
    Timer_TimeDate->stop();
    Connected = false;
    Driver->CloseCard();
    ShowInterfaceKind();
    Button_Connect->setEnabled(true);
    Button_Disconnect->setEnabled(false);
    // Leaving the page this way is no edit of the user's to ask about: the module is gone.
    settingsPageEntered_ = false;
    if (PageControl1->currentWidget() == TabSheet_Settings)
        PageControl1->setCurrentWidget(TabSheet1);
    ShowSettingsTab(false);
    StatusBar1->setPanelText(0, tr("Connection:Offline"));
    ShowConnectionLed(false);
    Menu_Configuration->setEnabled(true);
    EnableModuleOperations(*this, false);
    AdvEdit_Time->setText(QStringLiteral("00:00:00"));
    AdvEdit_Date->setText(QStringLiteral("00/00/0000"));
    ShowClockOffset(std::nullopt);
}

void TForm_Korvane::ShowClockOffset(std::optional<double> offsetSeconds)
{
    ModuleClockOffset = offsetSeconds;
    QLabel* panel = StatusBar1->Panel(2);
    // From the scheme, not the panel's own palette, which still holds the colours of the last call.
    QPalette colours = QApplication::palette(StatusBar1);
    if (offsetSeconds && std::abs(*offsetSeconds) > clocksync::WarningSeconds)
        colours.setColor(QPalette::WindowText, ClockWarningColour(colours));
    panel->setPalette(colours);
    StatusBar1->setPanelText(2, offsetSeconds ? clocksync::StatusText(*offsetSeconds) : QString());
}

void TForm_Korvane::Timer_TimeDateTimer()
{
    if (!Driver || !Connected)
        return;
    QString text;
    bool answered = clocksync::ReadClockText(*Driver, driver::ModuleParameter::ModuleTime, text);
    if (answered) {
        AdvEdit_Time->setText(text);
        answered = clocksync::ReadClockText(*Driver, driver::ModuleParameter::ModuleDate, text);
        if (answered)
            AdvEdit_Date->setText(text);
    }
    if (!answered) {
        const QString reason = DriverReason(); // before going offline closes the interface
        GoOffline();
        ShowError(tr("Module Connection Lost!"), reason);
    }
}

void TForm_Korvane::Button_ConnectClick()
{
    ConnectModule();
}

void TForm_Korvane::Button_DisconnectClick()
{
    DisconnectModule();
}
