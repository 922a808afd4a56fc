// Connecting, the online and offline looks, the clock poll and the lost connection, through the
// real binding and the stand-in driver library (or the recording fake where the order matters).
#include "app/FakeDriverAccess.h"
#include "app/MainWindowFixture.h"

#include "app/FileNameEdit.h"
#include "app/PanelStatusBar.h"
#include "driver/DriverBinding.h"
#include "module/SetTimeDate.h"
#include "platform/LastError.h"
#include "support/SimulatedModule.h"
#include "widgets/VrLeds.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

using platform::MessageBoxButtons;
using testsupport::SimulatedModule;

const QByteArray FixedClock = R"({"clock": {"time": "12:00:00", "date": "03/05/2026"}})";

class Connection : public MainWindowFixture {
protected:
    bool SettingsTabShown() const
    {
        return window->PageControl1->isTabVisible(window->PageControl1->indexOf(window->TabSheet_Settings));
    }

    void ExpectOffline() const
    {
        const TForm_Korvane& w = *window;
        EXPECT_FALSE(w.Connected);
        EXPECT_TRUE(w.Button_Connect->isEnabled());
        EXPECT_FALSE(w.Button_Disconnect->isEnabled());
        EXPECT_EQ(w.StaticText_ConnectionType->text(), "Invalid");
        EXPECT_FALSE(SettingsTabShown());
        EXPECT_EQ(w.StatusBar1->panelText(0), "Connection:Offline");
        EXPECT_FALSE(w.VrLed_Offline->isHidden());
        EXPECT_TRUE(w.VrLed_Online->isHidden());
        EXPECT_TRUE(w.Menu_Configuration->isEnabled());
        for (const QWidget* control : {static_cast<const QWidget*>(w.Button_UploadMemory),
                                       static_cast<const QWidget*>(w.Button_EraseMemory),
                                       static_cast<const QWidget*>(w.Button_UploadConfiguration),
                                       static_cast<const QWidget*>(w.AdvFileNameEdit_FileName),
                                       static_cast<const QWidget*>(w.AdvFileNameEdit_Config)})
            EXPECT_FALSE(control->isEnabled());
        EXPECT_EQ(w.AdvEdit_Time->text(), "00:00:00");
        EXPECT_EQ(w.AdvEdit_Date->text(), "00/00/0000");
        EXPECT_FALSE(w.Timer_TimeDate->isActive());
    }

    void ExpectOnline(const char* connectionType) const
    {
        const TForm_Korvane& w = *window;
        EXPECT_TRUE(w.Connected);
        EXPECT_FALSE(w.Button_Connect->isEnabled());
        EXPECT_TRUE(w.Button_Disconnect->isEnabled());
        EXPECT_EQ(w.StaticText_ConnectionType->text(), connectionType);
        EXPECT_TRUE(SettingsTabShown());
        EXPECT_EQ(w.StatusBar1->panelText(0), "Connection:Online");
        EXPECT_TRUE(w.VrLed_Offline->isHidden());
        EXPECT_FALSE(w.VrLed_Online->isHidden());
        EXPECT_FALSE(w.Menu_Configuration->isEnabled());
        for (const QWidget* control : {static_cast<const QWidget*>(w.Button_UploadMemory),
                                       static_cast<const QWidget*>(w.Button_EraseMemory),
                                       static_cast<const QWidget*>(w.Button_UploadConfiguration),
                                       static_cast<const QWidget*>(w.AdvFileNameEdit_FileName),
                                       static_cast<const QWidget*>(w.AdvFileNameEdit_Config)})
            EXPECT_TRUE(control->isEnabled());
        EXPECT_FALSE(w.AdvEdit_Time->isEnabled());
        EXPECT_FALSE(w.AdvEdit_Date->isEnabled());
        EXPECT_TRUE(w.Timer_TimeDate->isActive());
        EXPECT_EQ(w.Timer_TimeDate->interval(), 1000);
    }

    // One tick of the clock poll, as the timer delivers it.
    void Tick() const { QMetaObject::invokeMethod(window->Timer_TimeDate, "timeout"); }
};

TEST_F(Connection, SimulatedModuleTurnsTheWindowOnlineAndReadsItsSettings)
{
    SimulatedModule module(R"({"settings": {"NodeId": 9, "Baud": 125000, "DeviceMode": 1}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    QTest::mouseClick(w.Button_Connect, Qt::LeftButton);
    ExpectOnline("Simulated");
    EXPECT_TRUE(Shown().empty());
    // The clock fields wait for the first poll.
    EXPECT_EQ(w.AdvEdit_Time->text(), "00:00:00");
    EXPECT_EQ(w.AdvEdit_Date->text(), "00/00/0000");
    EXPECT_EQ(w.ModuleSettings.NodeId, 9);
    EXPECT_EQ(w.ModuleSettings.Baud, 125000u);
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 9);
    EXPECT_TRUE(w.RadioButton_Logger->isChecked());
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "FaultLog_2026_03_05.csv");
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "FaultConfig_2026_03_05.csv");
    EXPECT_FALSE(w.SettingsChanged);
}

TEST_F(Connection, SimulatedModuleNeverPassesForHardware)
{
    const QString title = "Korvane - CANopen Memory Module, by Velmora";
    SimulatedModule module("{}", SimulatedModule::Rs232);
    TForm_Korvane& w = CreateWindow("Korvane");
    EXPECT_TRUE(w.ConnectModule());
    ExpectOnline("Simulated");
    EXPECT_EQ(w.windowTitle(), title + " (simulated module) - node-ID 5: Korvane RTC/Memory Module, serial 0x0001E240");
    EXPECT_EQ(w.StaticText_Identity->text(), "Korvane RTC/Memory Module\nSerial: 0x0001E240");
    ASSERT_NE(w.StaticText_Identity, nullptr);
    EXPECT_FALSE(w.StaticText_Identity->isHidden());
    w.DisconnectModule();
    EXPECT_TRUE(w.StaticText_Identity->isHidden());
    ExpectOffline();
    EXPECT_EQ(w.windowTitle(), title);
}

TEST_F(Connection, AnyNonZeroConnectionWordIsRs232AndZeroIsUsb)
{
    FakeDriverState& fake = ResetFakeDriver(); // its block says 0x01020304
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    EXPECT_TRUE(w.ConnectModule());
    EXPECT_EQ(w.StaticText_ConnectionType->text(), "RS232");
    w.DisconnectModule();
    std::fill_n(w.Driver->ConfigBlock().begin() + 12, 4, 0);
    EXPECT_TRUE(w.ConnectModule());
    EXPECT_EQ(w.StaticText_ConnectionType->text(), "USB");
    // A module without identity objects: the node-ID alone.
    EXPECT_EQ(w.windowTitle(), "Korvane - CANopen Memory Module, by Velmora - node-ID 5");
    EXPECT_EQ(fake.calls.front().name, "ReadConfiguration");
    EXPECT_EQ(fake.calls.front().text, "\\Software\\Velmora\\CANopen Quillfen App\\");
}

TEST_F(Connection, AbsentLibraryCannotOpenAndStaysOffline)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    platform::SetLastError(KORVANE_ERROR_WRONG_MODE); // stale: no library call set it
    QTest::mouseClick(w.Button_Connect, Qt::LeftButton);
    EXPECT_FALSE(w.ConnectModule());
    EXPECT_EQ(Shown(), std::vector<Box>(2, Ok("Cannot Open Interface", "Error")));
    ExpectOffline();
    EXPECT_EQ(w.StatusBar1->panelText(1), "Operation:");
}

TEST_F(Connection, FailedOpenSaysCannotOpenInterface)
{
    SimulatedModule module(R"({"faults": {"open": "fail"}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    EXPECT_FALSE(w.ConnectModule());
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Cannot Open Interface", "Error")});
    ExpectOffline();
}

TEST_F(Connection, WrongModeSaysSo)
{
    SimulatedModule module(R"({"faults": {"open": "wrong-mode"}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    EXPECT_FALSE(w.ConnectModule());
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Interface is not in correct mode!", "Error")});
    ExpectOffline();
}

TEST_F(Connection, UnreadableSettingsStillConnect)
{
    SimulatedModule module(R"({"settings": {"NodeId": 33, "Baud": 50000, "MemoryMode": 1, "DeviceMode": 1},
                               "faults": {"read": [3]}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    EXPECT_TRUE(w.ConnectModule());
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings cannot be read!", "Error")});
    ExpectOnline("Simulated");
    // 12 and 11 came before the failing 3 and were kept; the rest and the page stay as they were.
    EXPECT_EQ(w.ModuleSettings.NodeId, 33);
    EXPECT_EQ(w.ModuleSettings.Baud, 50000u);
    EXPECT_EQ(w.ModuleSettings.MemoryMode, 0);
    EXPECT_EQ(w.ModuleSettings.DeviceMode, 0);
    // The page, first turned to only now, shows its controls.
    w.show();
    w.PageControl1->setCurrentWidget(w.TabSheet_Settings);
    EXPECT_TRUE(w.AdvSpinEdit_NodeId->isVisible());
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 5);
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "MemFile_2026_03_05.csv");
}

TEST_F(Connection, UnansweredDeviceModeReadsAsMemoryModule)
{
    SimulatedModule module(R"({"settings": {"DeviceMode": 1}, "faults": {"read": [21]}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    w.ModuleSettings.DeviceMode = 1;
    EXPECT_TRUE(w.ConnectModule());
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(w.ModuleSettings.DeviceMode, 0);
    EXPECT_TRUE(w.RadioButton_MemModule->isChecked());
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "ConfigFile_2026_03_05.csv");
}

TEST_F(Connection, ConnectOpensThenReadsTheTenSettingsInOrder)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    fake.calls.clear();
    EXPECT_TRUE(w.ConnectModule());
    EXPECT_EQ(CallNames(fake),
              // The clock offset's first reading gives no time, so it ends there.
              (std::vector<std::string>{"OpenInterface", "Parameter_Get_ARRAY(6)",
                                        "Parameter_Get_USIGN8(12)", "Parameter_Get_USIGN32(11)",
                                        "Parameter_Get_USIGN8(3)", "Parameter_Get_USIGN8(4)",
                                        "Parameter_Get_USIGN8(5)", "Parameter_Get_USIGN8(8)",
                                        "Parameter_Get_USIGN8(9)", "Parameter_Get_USIGN8(10)",
                                        "Parameter_Get_USIGN8(18)", "Parameter_Get_USIGN8(21)"}));
}

TEST_F(Connection, PollShowsTheModulesClock)
{
    SimulatedModule module(FixedClock);
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    Tick();
    EXPECT_TRUE(w.AdvEdit_Time->text().startsWith("12:00:0")) << w.AdvEdit_Time->text().toStdString();
    EXPECT_EQ(w.AdvEdit_Time->text().size(), 8);
    EXPECT_EQ(w.AdvEdit_Date->text(), "03/05/2026");
    EXPECT_TRUE(w.Connected);
    EXPECT_TRUE(Shown().empty());
}

// Real time: the simulated module's seconds run on the real clock, so the PC clock runs as well.
TEST_F(Connection, ConnectShowsHowFarTheModuleClockIsOffUntilASyncOrOffline)
{
    SimulatedModule module(R"({"clock": {"offset_seconds": -3.2}})");
    services.RunClockFrom(QDateTime::currentDateTime());
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    ASSERT_TRUE(w.ModuleClockOffset);
    EXPECT_NEAR(*w.ModuleClockOffset, -3.2, 0.1);
    const QLabel* clock = w.StatusBar1->Panel(2);
    EXPECT_TRUE(clock->text().startsWith("Clock: module 3.")) << clock->text().toStdString();
    EXPECT_TRUE(clock->text().endsWith(" s behind the PC")) << clock->text().toStdString();
    EXPECT_FALSE(clock->isHidden());
    const QColor normal = w.StatusBar1->palette().color(QPalette::WindowText);
    EXPECT_NE(clock->palette().color(QPalette::WindowText), normal);
    EXPECT_EQ(w.StatusBar1->panelText(0), "Connection:Online");
    EXPECT_TRUE(Shown().empty());

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TForm_SetTimeDate*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Button_SyncWithPc->click();
        dialog->Button_Ok->click();
    });
    w.Button_SetTimeDate->click();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Ok!", "Ok")});
    ASSERT_TRUE(w.ModuleClockOffset);
    EXPECT_LT(std::abs(*w.ModuleClockOffset), 0.1);
    EXPECT_TRUE(clock->text().startsWith("Clock: module 0.")) << clock->text().toStdString();
    EXPECT_EQ(clock->palette().color(QPalette::WindowText), normal);

    w.DisconnectModule();
    EXPECT_TRUE(clock->isHidden());
    EXPECT_FALSE(w.ModuleClockOffset);
}

TEST_F(Connection, PollReadsTimeThenDateAndStopsAtAFailedTime)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    ASSERT_TRUE(w.ConnectModule());
    fake.calls.clear();
    fake.arrayValue = {'0', '8', ':', '1', '5', ':', '0', '0'};
    Tick();
    EXPECT_EQ(CallNames(fake), (std::vector<std::string>{"Parameter_Get_ARRAY(6)", "Parameter_Get_ARRAY(7)"}));
    EXPECT_EQ(w.AdvEdit_Time->text(), "08:15:00");

    fake.calls.clear();
    fake.result = 0;
    Tick();
    EXPECT_EQ(CallNames(fake), (std::vector<std::string>{"Parameter_Get_ARRAY(6)", "CloseCard"}));
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Module Connection Lost!", "Error")});
}

TEST_F(Connection, PolledTextEndsAtItsLengthOrAtAZeroByte)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    ASSERT_TRUE(w.ConnectModule());
    fake.arrayValue = {};
    Tick();
    EXPECT_EQ(w.AdvEdit_Time->text(), "");
    EXPECT_EQ(w.AdvEdit_Date->text(), "");
    fake.arrayValue = {'1', '2', 0, '9'};
    Tick();
    EXPECT_EQ(w.AdvEdit_Time->text(), "12");
    fake.arrayValue.assign(255, 'x');
    Tick();
    EXPECT_EQ(w.AdvEdit_Date->text(), QString(255, 'x'));
}

TEST_F(Connection, FailedTimeReadGoesOfflineFirstThenSaysLostOnce)
{
    SimulatedModule module(R"({"faults": {"read": [6]}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    bool offlineWhileShown = false;
    boxes.WhileOpen([&] { offlineWhileShown = !w.Connected && !w.Timer_TimeDate->isActive(); });
    Tick();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Module Connection Lost!", "Error")});
    EXPECT_TRUE(offlineWhileShown);
    ExpectOffline();
    Tick(); // a late tick finds the window offline and does nothing
    EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(Connection, FailedDateReadLosesTheConnectionToo)
{
    SimulatedModule module(R"({"faults": {"read": [7]}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    Tick();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Module Connection Lost!", "Error")});
    ExpectOffline();
}

TEST_F(Connection, ConnectAfterALostConnectionOpensAgainWithANewHandle)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    fake.handleToOpen = 0x1111;
    ASSERT_TRUE(w.ConnectModule());
    fake.result = 0;
    Tick();
    ASSERT_FALSE(w.Connected);
    fake.result = 1;
    fake.handleToOpen = 0x2222;
    EXPECT_TRUE(w.ConnectModule());
    EXPECT_EQ(w.Driver->InterfaceHandle(), 0x2222u);
    ExpectOnline("RS232");
}

TEST_F(Connection, DisconnectRestoresTheOfflineLookAndKeepsTheSettings)
{
    SimulatedModule module(R"({"settings": {"NodeId": 17}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    Tick();
    w.SettingsChanged = true;
    QTest::mouseClick(w.Button_Disconnect, Qt::LeftButton);
    ExpectOffline();
    EXPECT_EQ(w.StatusBar1->panelText(1), "Operation: Disconnecting");
    EXPECT_EQ(w.ModuleSettings.NodeId, 17);
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 17);
    EXPECT_TRUE(w.SettingsChanged);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(Connection, DisconnectClosesTheCard)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    ASSERT_TRUE(w.ConnectModule());
    fake.calls.clear();
    w.DisconnectModule();
    EXPECT_EQ(CallNames(fake), std::vector<std::string>{"CloseCard"});
}

TEST_F(Connection, ClosingWhileConnectedEndsThroughTheBindingWithoutGoingOffline)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    ASSERT_TRUE(w.ConnectModule());
    fake.calls.clear();
    w.close();
    EXPECT_EQ(CallNames(fake), (std::vector<std::string>{"CloseCard", "UnloadDriver"}));
    EXPECT_EQ(w.StatusBar1->panelText(0), "Connection:Online");
}

TEST_F(Connection, ConfigurationMenuSavesOnlyAConfirmedConfiguration)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    fake.calls.clear();
    w.Menu_Configuration->trigger();
    EXPECT_EQ(CallNames(fake), (std::vector<std::string>{"HardwareConfigurationWindow", "SaveConfiguration"}));
    EXPECT_EQ(fake.calls.back().text, "\\Software\\Velmora\\CANopen Quillfen App\\");

    fake.calls.clear();
    fake.result = 0;
    w.Menu_Configuration->trigger();
    EXPECT_EQ(CallNames(fake), std::vector<std::string>{"HardwareConfigurationWindow"});
}

} // namespace
