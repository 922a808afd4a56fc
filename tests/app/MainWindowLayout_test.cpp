// The main window as it opens: captions, places, and the offline look of every control.
#include "MainWindowFixture.h"

#include "app/FileNameEdit.h"
#include "app/PanelStatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

namespace {

// A control starts at its designed place and size; a font wider than the design's may move it
// right or down and make it larger, never smaller.
void ExpectPlaced(const QWidget* control, const QRect& designed)
{
    const QRect place = control->geometry();
    EXPECT_GE(place.x(), designed.x()) << control->metaObject()->className();
    EXPECT_GE(place.y(), designed.y()) << control->metaObject()->className();
    EXPECT_GE(place.width(), designed.width()) << control->metaObject()->className();
    EXPECT_GE(place.height(), designed.height()) << control->metaObject()->className();
}

class MainWindowLayout : public MainWindowFixture {
protected:
    MainWindowLayout() { CreateWindow(AbsentDriverLibrary); }

    static QStringList Items(const QComboBox* list)
    {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }
};

TEST_F(MainWindowLayout, IsAFixedWindowWithoutMaximiseBox)
{
    const TForm_Korvane& w = *window;
    EXPECT_EQ(w.windowTitle(), "Korvane - CANopen Memory Module, by Velmora");
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    ExpectPlaced(w.PageControl1, QRect(w.PageControl1->pos(), QSize(559, 331)));
    EXPECT_GE(w.StatusBar1->height(), 19);
    EXPECT_EQ(w.pos(), QPoint(265, 138));
}

TEST_F(MainWindowLayout, OpensOnTheUploadPageWithTheSettingsTabHidden)
{
    TForm_Korvane& w = *window;
    EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet1);
    EXPECT_EQ(w.PageControl1->tabText(w.PageControl1->indexOf(w.TabSheet1)), "Upload");
    // Off the tab bar, so no screen reader announces it.
    EXPECT_EQ(w.PageControl1->count(), 1);
    EXPECT_EQ(w.PageControl1->indexOf(w.TabSheet_Settings), -1);
    w.ShowSettingsTab(true);
    EXPECT_EQ(w.PageControl1->tabText(w.PageControl1->indexOf(w.TabSheet_Settings)), "Settings");
}

TEST_F(MainWindowLayout, UploadPageIsOffline)
{
    const TForm_Korvane& w = *window;
    EXPECT_EQ(AsShown(w.Button_Connect->text()), "Connect");
    ExpectPlaced(w.Button_Connect, QRect(64, 56, 75, 25));
    EXPECT_TRUE(w.Button_Connect->isEnabled());
    EXPECT_EQ(AsShown(w.Button_Disconnect->text()), "Disconnect");
    ExpectPlaced(w.Button_Disconnect, QRect(64, 88, 75, 25));
    EXPECT_FALSE(w.Button_Disconnect->isEnabled());

    EXPECT_EQ(w.AdvEdit_Time->text(), "00:00:00");
    ExpectPlaced(w.AdvEdit_Time, QRect(232, 56, 65, 21));
    EXPECT_TRUE(w.AdvEdit_Time->isReadOnly());
    EXPECT_FALSE(w.AdvEdit_Time->isEnabled());
    EXPECT_EQ(w.AdvEdit_Time->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(w.AdvEdit_Date->text(), "00/00/0000");
    ExpectPlaced(w.AdvEdit_Date, QRect(232, 88, 65, 21));
    EXPECT_FALSE(w.AdvEdit_Date->isEnabled());
    EXPECT_EQ(w.AdvEdit_Date->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::white));

    EXPECT_EQ(w.GroupBox1->title(), "Connection Status:");
    ExpectPlaced(w.GroupBox1, QRect(376, 48, 105, 65));
    EXPECT_EQ(w.StaticText1->text(), "Type:");
    ExpectPlaced(w.StaticText1, QRect(QPoint(16, 20), w.StaticText1->size()));
    EXPECT_EQ(w.StaticText_ConnectionType->text(), "Invalid");
    ExpectPlaced(w.StaticText_ConnectionType, QRect(QPoint(48, 20), w.StaticText_ConnectionType->size()));

    ExpectPlaced(w.AdvFileNameEdit_Config, QRect(36, 142, 493, 21));
    EXPECT_FALSE(w.AdvFileNameEdit_Config->isEnabled());
    // Disabled, the field looks it (silver in the classic scheme, the scheme's button face in any).
    EXPECT_NE(w.AdvFileNameEdit_Config->Edit()->palette().color(QPalette::Disabled, QPalette::Base),
              w.AdvFileNameEdit_Config->Edit()->palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(AsShown(w.Button_UploadConfiguration->text()), "Upload Configuration");
    ExpectPlaced(w.Button_UploadConfiguration, QRect(191, 172, 111, 25));
    EXPECT_FALSE(w.Button_UploadConfiguration->isEnabled());
    ExpectPlaced(w.AdvFileNameEdit_FileName, QRect(36, 205, 493, 21));
    EXPECT_FALSE(w.AdvFileNameEdit_FileName->isEnabled());
    EXPECT_EQ(AsShown(w.CheckBox_Append->text()), "Append Config/Memory");
    ExpectPlaced(w.CheckBox_Append, QRect(37, 249, 142, 17));
    EXPECT_TRUE(w.CheckBox_Append->isEnabled());
    EXPECT_FALSE(w.CheckBox_Append->isChecked());
    EXPECT_EQ(AsShown(w.Button_UploadMemory->text()), "Upload Memory");
    ExpectPlaced(w.Button_UploadMemory, QRect(191, 248, 113, 25));
    EXPECT_FALSE(w.Button_UploadMemory->isEnabled());
    EXPECT_EQ(AsShown(w.Button_EraseMemory->text()), "Erase Memory");
    ExpectPlaced(w.Button_EraseMemory, QRect(347, 247, 113, 25));
    EXPECT_FALSE(w.Button_EraseMemory->isEnabled());
}

TEST_F(MainWindowLayout, StatusBarMenusAndTimer)
{
    const TForm_Korvane& w = *window;
    EXPECT_EQ(w.StatusBar1->panelText(0), "Connection:Offline");
    EXPECT_EQ(w.StatusBar1->panelText(1), "Operation:");
    EXPECT_GE(w.StatusBar1->Panel(0)->width(), 150);

    EXPECT_EQ(AsShown(w.File1->title()), "File");
    EXPECT_EQ(AsShown(w.Exit1->text()), "Exit");
    EXPECT_EQ(AsShown(w.Configuration1->title()), "Interface");
    EXPECT_EQ(AsShown(w.Menu_Configuration->text()), "Configuration");
    EXPECT_TRUE(w.Menu_Configuration->isEnabled());
    EXPECT_EQ(AsShown(w.Help1->title()), "Help");
    EXPECT_EQ(AsShown(w.About1->text()), "About");

    EXPECT_FALSE(w.Timer_TimeDate->isActive());
    EXPECT_EQ(w.Timer_TimeDate->interval(), 1000);
}

TEST_F(MainWindowLayout, SettingsPageStartsInItsInitialStates)
{
    const TForm_Korvane& w = *window;
    EXPECT_EQ(Items(w.AdvComboBox_TimeFormat), QStringList({"hh:mm:ss", "hhmmss"}));
    EXPECT_EQ(Items(w.AdvComboBox_DateFormat), QStringList({"yyyy/mm/dd", "mm/dd/yyyy", "yyyymmdd", "mmddyyyy"}));
    EXPECT_EQ(Items(w.AdvComboBox_AutoStampFormat),
              QStringList({"yyyy/mm/dd hh:mm::ss", "mm/dd/yyyy hh:mm:ss", "yyyymmdd hhmmss", "mmddyyyy hhmmss",
                           "yyyymmddhhmmss", "mmddyyyyhhmmss", "hh:mm:ss yyyy/mm/dd", "hh:mm:ss mm/dd/yyyy",
                           "hhmmss yyyymmdd", "hhmmss mmddyyyy", "hhmmssyyyymmdd", "hhmmssmmddyyyy"}));
    EXPECT_EQ(Items(w.AdvComboBox_Baud), QStringList({"10k", "20k", "50k", "100k", "125k", "250k", "500k", "1M"}));
    EXPECT_EQ(Items(w.AdvComboBox_MemoryMode), QStringList({"Fixed", "Delimeter"}));
    for (const QComboBox* list : {w.AdvComboBox_TimeFormat, w.AdvComboBox_DateFormat, w.AdvComboBox_AutoStampFormat,
                                  w.AdvComboBox_Baud, w.AdvComboBox_MemoryMode})
        EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(w.AdvComboBox_Baud->placeholderText(), "250k");
    EXPECT_FALSE(w.AdvComboBox_AutoStampFormat->isEnabled());

    EXPECT_EQ(w.GroupBox2->title(), "Auto Time/Date Stamp:");
    EXPECT_EQ(AsShown(w.CheckBox_AutoTimeStamp->text()), "Enable");
    EXPECT_FALSE(w.CheckBox_AutoTimeStamp->isChecked());

    EXPECT_EQ(w.AdvSpinEdit_NodeId->value(), 5);
    EXPECT_EQ(w.AdvSpinEdit_NodeId->maximum(), 127);
    EXPECT_EQ(w.AdvSpinEdit_FixedLength->value(), 0);
    EXPECT_EQ(w.AdvSpinEdit_FixedLength->maximum(), 128);
    EXPECT_TRUE(w.AdvSpinEdit_FixedLength->isEnabled());
    EXPECT_EQ(w.AdvSpinEdit_Delimiter->value(), 0);
    EXPECT_EQ(w.AdvSpinEdit_Delimiter->maximum(), 255);
    EXPECT_EQ(w.AdvSpinEdit_Delimiter->displayIntegerBase(), 16);
    EXPECT_TRUE(w.AdvSpinEdit_Delimiter->isEnabled());

    EXPECT_EQ(AsShown(w.CheckBox_OverwriteMode->text()), "Ring Buffer Mode");
    EXPECT_FALSE(w.CheckBox_OverwriteMode->isChecked());
    EXPECT_EQ(w.GroupBox3->title(), "Mode:");
    EXPECT_EQ(AsShown(w.RadioButton_MemModule->text()), "MemModule");
    EXPECT_TRUE(w.RadioButton_MemModule->isChecked());
    EXPECT_EQ(AsShown(w.RadioButton_Logger->text()), "CAN Data/Fault Logger");
    EXPECT_FALSE(w.RadioButton_Logger->isChecked());

    EXPECT_EQ(AsShown(w.Button_UploadSettings->text()), "Upload Settings");
    EXPECT_EQ(AsShown(w.Button6->text()), "Download Settings");
    EXPECT_EQ(AsShown(w.Button_SetTimeDate->text()), "Set Time/Date");
}

TEST_F(MainWindowLayout, StateStartsClearedWithMemoryModuleNames)
{
    const TForm_Korvane& w = *window;
    EXPECT_FALSE(w.Connected);
    EXPECT_FALSE(w.SettingsChanged);
    EXPECT_EQ(w.ModuleSettings, driver::ModuleSettings{});
    EXPECT_EQ(w.BytesUploaded, 0u);
    EXPECT_EQ(w.AutoState, 0);
    EXPECT_TRUE(w.Driver);
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "MemFile_2026_03_05.csv");
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "ConfigFile_2026_03_05.csv");
    EXPECT_TRUE(Shown().empty());
}

} // namespace
