// Between the window's copy of the settings and the Settings page's controls, and the page's
// enabling rules.
#include "app/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

class SettingsControls : public MainWindowFixture {
protected:
    SettingsControls() { CreateWindow(AbsentDriverLibrary); }

    static driver::ModuleSettings FullSettings()
    {
        driver::ModuleSettings s;
        s.NodeId = 12;
        s.Baud = 500000;
        s.MemoryMode = 1;
        s.Delimiter = 0x0A;
        s.FixedLength = 64;
        s.TimeFormat = 1;
        s.DateFormat = 2;
        s.AutoTimeStamp = 3;
        s.OverwriteMode = 1;
        s.DeviceMode = 1;
        return s;
    }
};

TEST_F(SettingsControls, ShowsEveryFieldAndTakesItBackUnchanged)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.SettingsToControls();
    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 12);
    EXPECT_EQ(w.AdvComboBox_Baud->currentText(), "500k");
    EXPECT_TRUE(w.CheckBox_AutoTimeStamp->isChecked());
    EXPECT_EQ(w.AdvComboBox_AutoStampFormat->currentText(), "yyyymmdd hhmmss");
    EXPECT_TRUE(w.AdvComboBox_AutoStampFormat->isEnabled());
    EXPECT_EQ(w.AdvComboBox_DateFormat->currentText(), "yyyymmdd");
    EXPECT_EQ(w.AdvComboBox_TimeFormat->currentText(), "hhmmss");
    EXPECT_EQ(w.AdvComboBox_MemoryMode->currentText(), "Delimeter");
    EXPECT_EQ(w.AdvSpinEdit_FixedLength->value(), 64);
    EXPECT_FALSE(w.AdvSpinEdit_FixedLength->isEnabled());
    EXPECT_EQ(w.AdvSpinEdit_Delimiter->text().toUpper(), "A");
    EXPECT_TRUE(w.AdvSpinEdit_Delimiter->isEnabled());
    EXPECT_TRUE(w.CheckBox_OverwriteMode->isChecked());
    EXPECT_TRUE(w.RadioButton_Logger->isChecked());
    EXPECT_FALSE(w.RadioButton_MemModule->isChecked());

    w.ControlsToSettings();
    EXPECT_EQ(w.ModuleSettings, FullSettings());
    EXPECT_FALSE(w.SettingsChanged);
}

TEST_F(SettingsControls, EveryControlCountsAChangeAndStoresItsValue)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.SettingsToControls();
    w.AdvSpinEdit_NodeId->setValue(127);
    w.AdvComboBox_Baud->setCurrentIndex(0);
    w.AdvComboBox_AutoStampFormat->setCurrentIndex(11);
    w.AdvComboBox_DateFormat->setCurrentIndex(3);
    w.AdvComboBox_TimeFormat->setCurrentIndex(0);
    w.AdvComboBox_MemoryMode->setCurrentIndex(0);
    w.AdvSpinEdit_FixedLength->setValue(128);
    w.AdvSpinEdit_Delimiter->setValue(0xFF);
    w.RadioButton_MemModule->setChecked(true);
    w.CheckBox_OverwriteMode->setChecked(false);
    w.ControlsToSettings();
    const driver::ModuleSettings& s = w.ModuleSettings;
    EXPECT_EQ(s.NodeId, 127);
    EXPECT_EQ(s.Baud, 10000u);
    EXPECT_EQ(s.AutoTimeStamp, 12);
    EXPECT_EQ(s.DateFormat, 3);
    EXPECT_EQ(s.TimeFormat, 0);
    EXPECT_EQ(s.MemoryMode, 0);
    EXPECT_EQ(s.FixedLength, 128);
    EXPECT_EQ(s.Delimiter, 0xFF);
    EXPECT_EQ(s.DeviceMode, 0);
    EXPECT_EQ(s.OverwriteMode, 0);
    EXPECT_TRUE(w.SettingsChanged);

    for (int position = 0; position < 8; ++position) {
        w.AdvComboBox_Baud->setCurrentIndex(position);
        w.ControlsToSettings();
        EXPECT_EQ(w.ModuleSettings.Baud,
                  (std::array<uint32_t, 8>{10000, 20000, 50000, 100000, 125000, 250000, 500000, 1000000}[position]));
    }
}

TEST_F(SettingsControls, InitialControlsDifferFromTheCopyOnEveryPass)
{
    TForm_Korvane& w = *window;
    w.ControlsToSettings();
    EXPECT_TRUE(w.SettingsChanged);
    EXPECT_EQ(w.ModuleSettings.NodeId, 5);
    EXPECT_EQ(w.ModuleSettings.Baud, 0u) << "no rate selected: the copy keeps its own";
    EXPECT_EQ(w.ModuleSettings.AutoTimeStamp, 0);

    // Lists with no selection keep the copy's values: a second pass finds nothing changed.
    w.SettingsChanged = false;
    w.ControlsToSettings();
    EXPECT_FALSE(w.SettingsChanged);
    EXPECT_EQ(w.ModuleSettings.TimeFormat, 0);
    EXPECT_EQ(w.ModuleSettings.DateFormat, 0);
    EXPECT_EQ(w.ModuleSettings.MemoryMode, 0);
}

TEST_F(SettingsControls, BaudWithNoSelectionKeepsTheCopysRate)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.ModuleSettings.Baud = 33333;
    w.SettingsToControls();
    EXPECT_EQ(w.AdvComboBox_Baud->currentIndex(), -1);
    w.ControlsToSettings();
    EXPECT_EQ(w.ModuleSettings.Baud, 33333u);
    EXPECT_FALSE(w.SettingsChanged);
}

TEST_F(SettingsControls, RateOutsideTheListLeavesTheSelection)
{
    TForm_Korvane& w = *window;
    w.AdvComboBox_Baud->setCurrentIndex(3);
    w.ModuleSettings.Baud = 123456;
    w.SettingsToControls();
    EXPECT_EQ(w.AdvComboBox_Baud->currentText(), "100k");
}

TEST_F(SettingsControls, StampThirteenOrMoreChecksWithoutFormatAndReadsBackAsOff)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.ModuleSettings.AutoTimeStamp = 13;
    w.SettingsToControls();
    EXPECT_TRUE(w.CheckBox_AutoTimeStamp->isChecked());
    EXPECT_EQ(w.AdvComboBox_AutoStampFormat->currentIndex(), -1);
    EXPECT_TRUE(w.AdvComboBox_AutoStampFormat->isEnabled());
    w.ControlsToSettings();
    EXPECT_EQ(w.ModuleSettings.AutoTimeStamp, 0);
    EXPECT_TRUE(w.SettingsChanged);
}

TEST_F(SettingsControls, StampOffUnchecksAndKeepsTheFormatSelection)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.SettingsToControls();
    w.ModuleSettings.AutoTimeStamp = 0;
    w.SettingsToControls();
    EXPECT_FALSE(w.CheckBox_AutoTimeStamp->isChecked());
    EXPECT_EQ(w.AdvComboBox_AutoStampFormat->currentIndex(), 2);
    EXPECT_FALSE(w.AdvComboBox_AutoStampFormat->isEnabled());
}

TEST_F(SettingsControls, NonZeroModesShowAsOnAndReadBackAsOne)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.ModuleSettings.DeviceMode = 2;
    w.ModuleSettings.OverwriteMode = 255;
    w.SettingsToControls();
    EXPECT_TRUE(w.RadioButton_Logger->isChecked());
    EXPECT_TRUE(w.CheckBox_OverwriteMode->isChecked());
    w.ControlsToSettings();
    EXPECT_EQ(w.ModuleSettings.DeviceMode, 1);
    EXPECT_EQ(w.ModuleSettings.OverwriteMode, 1);
    EXPECT_TRUE(w.SettingsChanged);
}

TEST_F(SettingsControls, PositionsOutsideAListSelectNothing)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings = FullSettings();
    w.ModuleSettings.DateFormat = 4;
    w.ModuleSettings.TimeFormat = 2;
    w.ModuleSettings.MemoryMode = 7;
    w.SettingsToControls();
    EXPECT_EQ(w.AdvComboBox_DateFormat->currentIndex(), -1);
    EXPECT_EQ(w.AdvComboBox_TimeFormat->currentIndex(), -1);
    EXPECT_EQ(w.AdvComboBox_MemoryMode->currentIndex(), -1);
    EXPECT_TRUE(w.AdvSpinEdit_FixedLength->isEnabled());
    EXPECT_FALSE(w.AdvSpinEdit_Delimiter->isEnabled());
    w.ControlsToSettings();
    EXPECT_EQ(w.ModuleSettings.DateFormat, 4);
    EXPECT_EQ(w.ModuleSettings.TimeFormat, 2);
    EXPECT_EQ(w.ModuleSettings.MemoryMode, 7);
}

TEST_F(SettingsControls, CheckedEnableWithoutFormatStoresStampOff)
{
    TForm_Korvane& w = *window;
    w.ModuleSettings.AutoTimeStamp = 4;
    w.CheckBox_AutoTimeStamp->setChecked(true);
    w.ControlsToSettings();
    EXPECT_EQ(w.ModuleSettings.AutoTimeStamp, 0);
}

TEST_F(SettingsControls, EnableBoxRuleFollowsTheUsersClick)
{
    TForm_Korvane& w = *window;
    w.TabSheet_Settings->resize(559, 300);
    w.TabSheet_Settings->show();
    QTest::mouseClick(w.CheckBox_AutoTimeStamp, Qt::LeftButton, {}, QPoint(4, 8));
    ASSERT_TRUE(w.CheckBox_AutoTimeStamp->isChecked());
    EXPECT_TRUE(w.AdvComboBox_AutoStampFormat->isEnabled());
    QTest::mouseClick(w.CheckBox_AutoTimeStamp, Qt::LeftButton, {}, QPoint(4, 8));
    EXPECT_FALSE(w.AdvComboBox_AutoStampFormat->isEnabled());
}

TEST_F(SettingsControls, MemoryModeRuleFollowsTheUsersChoice)
{
    TForm_Korvane& w = *window;
    w.AdvComboBox_MemoryMode->setCurrentIndex(1);
    emit w.AdvComboBox_MemoryMode->activated(1);
    EXPECT_TRUE(w.AdvSpinEdit_Delimiter->isEnabled());
    EXPECT_FALSE(w.AdvSpinEdit_FixedLength->isEnabled());
    w.AdvComboBox_MemoryMode->setCurrentIndex(0);
    emit w.AdvComboBox_MemoryMode->activated(0);
    EXPECT_FALSE(w.AdvSpinEdit_Delimiter->isEnabled());
    EXPECT_TRUE(w.AdvSpinEdit_FixedLength->isEnabled());
    w.AdvComboBox_MemoryMode->setCurrentIndex(1);
    w.AdvComboBox_MemoryModeChange();
    w.AdvComboBox_MemoryMode->setCurrentIndex(-1);
    w.AdvComboBox_MemoryModeChange();
    EXPECT_FALSE(w.AdvSpinEdit_Delimiter->isEnabled());
    EXPECT_TRUE(w.AdvSpinEdit_FixedLength->isEnabled());
}

} // namespace
