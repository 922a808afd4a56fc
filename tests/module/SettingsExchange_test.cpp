// "Upload Settings", "Download Settings" and the question when the Settings page is left, through
// the stand-in library's simulated module (or the recording fake where the order matters).
#include "app/FakeDriverAccess.h"
#include "app/MainWindowFixture.h"

#include "app/FileNameEdit.h"
#include "driver/DriverBinding.h"
#include "module/SettingsCompareView.h"
#include "module/SettingsProfile.h"
#include "support/SimulatedModule.h"

#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using platform::MessageBoxButtons;
using platform::MessageBoxResult;
using testsupport::SimulatedModule;

const char* const StoreFailure =
    "Settings cannot be stored!\r\n\r\nMake sure Module is blank\r\nbefore changing modes!";

const QByteArray LoggerSettings = R"({"settings": {"NodeId": 21, "Baud": 1000000, "MemoryMode": 0, "Delimiter": 13,
    "FixedLength": 40, "TimeFormat": 1, "DateFormat": 3, "AutoTimeStamp": 7, "OverwriteMode": 1, "DeviceMode": 1}})";

class SettingsExchange : public MainWindowFixture {
protected:
    static Box Question()
    {
        return {QStringLiteral("Settings have changed!\r\n Do you want to save to device?"), QStringLiteral("Warning"),
                MessageBoxButtons::YesNoCancel};
    }

    // Connects and forgets what the connect showed.
    TForm_Korvane& ConnectedWindow(const char* library = "Korvane")
    {
        TForm_Korvane& w = CreateWindow(library);
        EXPECT_TRUE(w.ConnectModule());
        boxes.ClearCalls();
        return w;
    }

    // Edits on the page that differ from what the module holds.
    void EditThePage() const
    {
        TForm_Korvane& w = *window;
        w.AdvSpinEdit_NodeId->setValue(99);
        w.AdvComboBox_Baud->setCurrentIndex(2);
        w.AdvComboBox_MemoryMode->setCurrentIndex(1);
        w.AdvSpinEdit_Delimiter->setValue(0x3B);
        w.RadioButton_MemModule->setChecked(true);
    }

    void TurnTo(QWidget* page) const { window->PageControl1->setCurrentWidget(page); }
};

TEST_F(SettingsExchange, UploadSettingsSaysReadThenShowsTheValues)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    w.ModuleSettings = {};
    w.AdvSpinEdit_NodeId->setValue(1);
    w.AdvFileNameEdit_FileName->setText("mine.csv");
    int nodeIdWhileShown = -1;
    boxes.WhileOpen([&] { nodeIdWhileShown = w.AdvSpinEdit_NodeId->value(); });

    QTest::mouseClick(w.Button_UploadSettings, Qt::LeftButton);
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings Read!", "Ok")});
    EXPECT_EQ(nodeIdWhileShown, 1) << "the controls change only once the box is closed";
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 21);
    EXPECT_EQ(w.AdvComboBox_Baud->currentText(), "1M");
    EXPECT_EQ(w.AdvComboBox_AutoStampFormat->currentText(), "hh:mm:ss yyyy/mm/dd");
    EXPECT_TRUE(w.RadioButton_Logger->isChecked());
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "mine.csv") << "reading never renews the file names";
}

TEST_F(SettingsExchange, FailedUploadSettingsLeavesTheControls)
{
    SimulatedModule module(R"({"settings": {"NodeId": 21}, "faults": {"read": [18]}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings cannot be read!", "Error")});
    boxes.ClearCalls();
    QTest::mouseClick(w.Button_UploadSettings, Qt::LeftButton);
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings cannot be read!", "Error")});
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 5);
    EXPECT_EQ(w.ModuleSettings.NodeId, 21);
}

TEST_F(SettingsExchange, DownloadStoresTheTenSettingsAndANewConnectReadsThemBack)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    EditThePage();
    QString nameWhileShown;
    boxes.WhileOpen([&] { nameWhileShown = w.AdvFileNameEdit_FileName->text(); });

    QTest::mouseClick(w.Button6, Qt::LeftButton);
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings Stored!", "Ok")});
    EXPECT_FALSE(w.SettingsChanged);
    EXPECT_EQ(module.setting("NodeId"), 99u);
    EXPECT_EQ(module.setting("Baud"), 50000u);
    EXPECT_EQ(module.setting("MemoryMode"), 1u);
    EXPECT_EQ(module.setting("Delimiter"), 0x3Bu);
    EXPECT_EQ(module.setting("FixedLength"), 40u);
    EXPECT_EQ(module.setting("TimeFormat"), 1u);
    EXPECT_EQ(module.setting("DateFormat"), 3u);
    EXPECT_EQ(module.setting("AutoTimeStamp"), 7u);
    EXPECT_EQ(module.setting("OverwriteMode"), 1u);
    EXPECT_EQ(module.setting("DeviceMode"), 0u);
    // The names follow the stored DeviceMode, once the box is closed.
    EXPECT_EQ(nameWhileShown, "FaultLog_2026_03_05.csv");
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "MemFile_2026_03_05.csv");

    w.DisconnectModule();
    w.AdvSpinEdit_NodeId->setValue(1);
    // The module answers at its new node-ID and bit rate from its next start on.
    module.configureNode(99);
    module.configureBitRate(50000);
    ASSERT_TRUE(w.Driver->ReadConfiguration(SimulatedModule::registryPath()));
    ASSERT_TRUE(w.ConnectModule());
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 99);
    EXPECT_EQ(w.AdvComboBox_Baud->currentText(), "50k");
    EXPECT_EQ(w.AdvSpinEdit_Delimiter->value(), 0x3B);
    EXPECT_TRUE(w.RadioButton_MemModule->isChecked());
}

TEST_F(SettingsExchange, StoreFailingAtMemoryModeKeepsWhatWasWrittenBeforeIt)
{
    SimulatedModule module(R"({"settings": {"NodeId": 21, "Baud": 1000000, "MemoryMode": 0, "DeviceMode": 0},
                               "faults": {"write": [3]}})");
    TForm_Korvane& w = ConnectedWindow();
    EditThePage();
    w.RadioButton_Logger->setChecked(true);
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    EXPECT_EQ(Shown(), std::vector<Box>{Ok(StoreFailure, "Error")});
    EXPECT_TRUE(w.SettingsChanged);
    EXPECT_EQ(module.setting("NodeId"), 99u);
    EXPECT_EQ(module.setting("Baud"), 50000u);
    EXPECT_EQ(module.setting("MemoryMode"), 0u);
    EXPECT_EQ(module.setting("Delimiter"), 10u) << "nothing after the failure is written";
    EXPECT_EQ(module.setting("DeviceMode"), 0u);
    // The names are renewed after a failed store too, from the copy's DeviceMode.
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "FaultConfig_2026_03_05.csv");
}

TEST_F(SettingsExchange, ARefusedDeviceModeIsSaidOnlyWhenTheUserChangedIt)
{
    SimulatedModule module(R"({"settings": {"DeviceMode": 0}, "faults": {"write": [21]}})");
    TForm_Korvane& w = ConnectedWindow();
    const QString configName = w.AdvFileNameEdit_Config->text();
    w.AdvSpinEdit_FixedLength->setValue(77);
    w.Button6Click();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings Stored!", "Ok")});
    EXPECT_FALSE(w.SettingsChanged);
    EXPECT_EQ(module.setting("FixedLength"), 77u);

    boxes.ClearCalls();
    w.RadioButton_Logger->setChecked(true);
    w.AdvSpinEdit_FixedLength->setValue(78);
    w.Button6Click();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("The module did not accept the device mode!\r\n\r\nThe other settings were stored.",
                                           "Error")});
    EXPECT_TRUE(w.SettingsChanged);
    EXPECT_EQ(module.setting("FixedLength"), 78u);
    EXPECT_EQ(module.setting("DeviceMode"), 0u);
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), configName);
}

TEST_F(SettingsExchange, StoreWritesAllTenInOrderReadsThemBackAndStopsAtTheFirstFailure)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_Korvane& w = ConnectedWindow(FakeDriverLibrary);
    fake.calls.clear();
    w.ModuleSettings.Baud = 500000; // the fake answers 0 to every read
    w.StoreSettings();
    std::vector<std::string> exchanged = CallNames(fake);
    ASSERT_EQ(exchanged.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(exchanged.begin(), exchanged.begin() + 10),
              (std::vector<std::string>{"Parameter_Set_USIGN8(12)", "Parameter_Set_USIGN32(11)",
                                        "Parameter_Set_USIGN8(3)", "Parameter_Set_USIGN8(4)",
                                        "Parameter_Set_USIGN8(5)", "Parameter_Set_USIGN8(8)",
                                        "Parameter_Set_USIGN8(9)", "Parameter_Set_USIGN8(10)",
                                        "Parameter_Set_USIGN8(18)", "Parameter_Set_USIGN8(21)"}));
    // Then all ten read back, in the same order.
    EXPECT_EQ(exchanged[10], "Parameter_Get_USIGN8(12)");
    EXPECT_EQ(exchanged[11], "Parameter_Get_USIGN32(11)");
    EXPECT_EQ(exchanged[19], "Parameter_Get_USIGN8(21)");
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("The module did not keep every setting it was sent!", "Error")});
    EXPECT_EQ(boxes.Reasons(), std::vector<QString>{"Baud: sent 500k, read back 0 bit/s"});

    boxes.ClearCalls();
    fake.calls.clear();
    fake.result = 0;
    w.StoreSettings();
    EXPECT_EQ(CallNames(fake), std::vector<std::string>{"Parameter_Set_USIGN8(12)"});
    EXPECT_EQ(Shown(), std::vector<Box>{Ok(StoreFailure, "Error")});
}

// A profile comes onto the page as unsaved edits, beside a view of what differs from the
// module; "Download Settings" stores it like any edit.
TEST_F(SettingsExchange, AnOpenedProfileIsShownAgainstTheModuleAndStoredByDownload)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    const QTemporaryDir folder;
    const QString profile = folder.filePath("logger.dcf");
    ASSERT_TRUE(w.SaveSettingsProfile(profile)) << w.FailureReason.toStdString();
    // The time of saving on the 12-hour clock and the date, as CANopen tools read them.
    for (const auto& [time, written] : {std::pair{QTime(0, 5), "12:05AM"}, std::pair{QTime(12, 30), "12:30PM"}}) {
        const QByteArray text = settingsprofile::Write(w.ModuleSettings, w.Identity, profile, QDateTime(QDate(2026, 3, 5), time));
        EXPECT_TRUE(text.contains(QByteArray("\nCreationTime=") + written + "\nCreationDate=03-05-2026\n")) << text.constData();
    }
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(saved).replace("Baudrate=1000", "Baudrate=125").replace("ParameterValue=1000000", "ParameterValue=125000"));
    file.close();

    ASSERT_TRUE(w.OpenSettingsProfile(profile));
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet_Settings);
    EXPECT_EQ(w.AdvComboBox_Baud->currentText(), "125k");
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 21);
    EXPECT_TRUE(w.SettingsChanged);
    ASSERT_TRUE(w.Form_SettingsCompare && w.Form_SettingsCompare->isVisible());
    EXPECT_EQ(w.Form_SettingsCompare->Differing(), 1);
    const QTableWidget* table = w.Form_SettingsCompare->Table();
    EXPECT_EQ(table->item(1, 0)->text(), "Baud");
    EXPECT_EQ(table->item(1, 1)->text(), "1M");
    EXPECT_EQ(table->item(1, 2)->text(), "125k");
    EXPECT_TRUE(table->item(1, 2)->font().bold() && !table->item(0, 2)->font().bold());
    EXPECT_EQ(module.setting("Baud"), 1000000u) << "nothing is stored before Download Settings";

    QTest::mouseClick(w.Button6, Qt::LeftButton);
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Settings Stored!", "Ok")});
    EXPECT_EQ(module.setting("Baud"), 125000u);
    EXPECT_EQ(module.setting("AutoTimeStamp"), 7u);

    // One of another product is opened only when the question is answered Yes; No is the default.
    boxes.ClearCalls();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[DeviceInfo]\nProductNumber=0x1\n[200C]\nParameterValue=9\n");
    file.close();
    EXPECT_FALSE(w.OpenSettingsProfile(profile));
    const Box question{"The settings profile is for another product.\r\n\r\nOpen it anyway?", "Warning", MessageBoxButtons::YesNo};
    EXPECT_EQ(Shown(), std::vector<Box>{question});
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 21);
    boxes.ClearCalls();
    boxes.Answer(MessageBoxResult::Yes);
    EXPECT_TRUE(w.OpenSettingsProfile(profile));
    EXPECT_EQ(Shown(), std::vector<Box>{question});
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 9);

    // A profile that cannot be read changes nothing on the page.
    boxes.ClearCalls();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[200C]\nParameterValue=300\n");
    file.close();
    EXPECT_FALSE(w.OpenSettingsProfile(profile));
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("The settings profile cannot be read!", "Error")});
    EXPECT_TRUE(boxes.Reasons().at(0).contains("line 2: NodeId cannot be 300")) << boxes.Reasons().at(0).toStdString();
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 9);
}

TEST_F(SettingsExchange, LeavingAfterAReadWithoutEditsAsksNothing)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    TurnTo(w.TabSheet_Settings);
    TurnTo(w.TabSheet1);
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(w.SettingsChanged);
}

TEST_F(SettingsExchange, LeavingWithEditsAsksOnceAndYesStores)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    TurnTo(w.TabSheet_Settings);
    EditThePage();
    boxes.Answer(MessageBoxResult::Yes);
    TurnTo(w.TabSheet1);
    EXPECT_EQ(Shown(), (std::vector<Box>{Question(), Ok("Settings Stored!", "Ok")}));
    EXPECT_EQ(module.setting("NodeId"), 99u);
    EXPECT_FALSE(w.SettingsChanged);
}

TEST_F(SettingsExchange, NoAndCancelStoreNothingAndAskAgainNextTime)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    for (MessageBoxResult answer : {MessageBoxResult::No, MessageBoxResult::Cancel}) {
        boxes.ClearCalls();
        TurnTo(w.TabSheet_Settings);
        EditThePage();
        boxes.Answer(answer);
        TurnTo(w.TabSheet1);
        EXPECT_EQ(Shown(), std::vector<Box>{Question()});
        EXPECT_TRUE(w.SettingsChanged);
        EXPECT_EQ(w.ModuleSettings.NodeId, 99) << "the copy keeps the edit";
        EXPECT_EQ(module.setting("NodeId"), 21u);
    }
    // Nothing edited this time: the copy matches the page, and the unsaved edit alone asks again.
    boxes.ClearCalls();
    TurnTo(w.TabSheet_Settings);
    TurnTo(w.TabSheet1);
    EXPECT_EQ(Shown(), std::vector<Box>{Question()});
}

TEST_F(SettingsExchange, AfterAFailedReadTheInitialControlsAskOnLeaving)
{
    SimulatedModule module(R"({"faults": {"read": [12]}})");
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    boxes.ClearCalls();
    TurnTo(w.TabSheet_Settings);
    TurnTo(w.TabSheet1);
    EXPECT_EQ(Shown(), std::vector<Box>{Question()});
}

TEST_F(SettingsExchange, FocusLeavingThePageForTheTabsAsksOnceForTheWholeTurn)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    TurnTo(w.TabSheet_Settings);
    w.AdvSpinEdit_NodeId->setFocus();
    ASSERT_TRUE(w.AdvSpinEdit_NodeId->hasFocus());
    w.AdvSpinEdit_NodeId->setValue(42);

    w.PageControl1->tabBar()->setFocus();
    EXPECT_EQ(Shown(), std::vector<Box>{Question()});
    TurnTo(w.TabSheet1);
    EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(SettingsExchange, FocusMovingWithinThePageOrToADialogIsNoLeaving)
{
    SimulatedModule module(LoggerSettings);
    TForm_Korvane& w = ConnectedWindow();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    TurnTo(w.TabSheet_Settings);
    w.AdvSpinEdit_NodeId->setFocus();
    w.AdvSpinEdit_NodeId->setValue(42);
    w.AdvSpinEdit_FixedLength->setFocus();
    EXPECT_TRUE(Shown().empty());

    QLineEdit elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    elsewhere.setFocus();
    EXPECT_TRUE(Shown().empty());
}

TEST_F(SettingsExchange, GoingOfflineOnThePageAsksNothingAndShowsTheUploadPage)
{
    SimulatedModule module(R"({"faults": {"read": [6]}})");
    TForm_Korvane& w = ConnectedWindow();
    TurnTo(w.TabSheet_Settings);
    EditThePage();
    QMetaObject::invokeMethod(w.Timer_TimeDate, "timeout");
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Module Connection Lost!", "Error")});
    EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet1);
}

} // namespace
