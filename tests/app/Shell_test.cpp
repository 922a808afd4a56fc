// Start-up and shell routines: default names, about box, closing, window position, exit code.
#include "FakeDriverAccess.h"
#include "MainWindowFixture.h"

#include "app/DefaultFileNames.h"
#include "app/ExitCode.h"
#include "app/FileNameEdit.h"
#include "app/PanelStatusBar.h"
#include "app/StateFolder.h"
#include "app/TAboutBox.h"
#include "driver/DriverBinding.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

TEST(ExitCode, IsTheByteCountCappedAt254)
{
    EXPECT_EQ(ExitCodeForBytesUploaded(0), 0);
    EXPECT_EQ(ExitCodeForBytesUploaded(1), 1);
    EXPECT_EQ(ExitCodeForBytesUploaded(254), 254);
    EXPECT_EQ(ExitCodeForBytesUploaded(255), 254);
    EXPECT_EQ(ExitCodeForBytesUploaded(300), 254);
    EXPECT_EQ(ExitCodeForBytesUploaded(4294967295u), 254);
    EXPECT_EQ(EscapedErrorExitCode, 255);
}

TEST(DefaultFileNamesFor, LoggerNamesOnlyForDeviceModeOne)
{
    const QDate date(2026, 3, 5);
    const DefaultFileNames logger = DefaultFileNamesFor(1, date);
    EXPECT_EQ(logger.memory, "FaultLog_2026_03_05.csv");
    EXPECT_EQ(logger.configuration, "FaultConfig_2026_03_05.csv");
    for (uint8_t mode : {0, 2, 255}) {
        const DefaultFileNames module = DefaultFileNamesFor(mode, date);
        EXPECT_EQ(module.memory, "MemFile_2026_03_05.csv");
        EXPECT_EQ(module.configuration, "ConfigFile_2026_03_05.csv");
    }
    EXPECT_EQ(DefaultFileNamesFor(0, QDate(987, 12, 31)).memory, "MemFile_0987_12_31.csv");
}

using Shell = MainWindowFixture;

TEST_F(Shell, DefaultNamesReplaceTypedNamesButNotGivenOnes)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    w.AdvFileNameEdit_FileName->setText("picked.csv");
    w.AdvFileNameEdit_Config->setText("typed.csv");
    w.ModuleSettings.DeviceMode = 1;
    w.SetDefaultFileNames();
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "FaultLog_2026_03_05.csv");
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "FaultConfig_2026_03_05.csv");

    w.AdvFileNameEdit_FileName->setText("given-memory.csv");
    w.MemoryFileGiven = true;
    w.ModuleSettings.DeviceMode = 0;
    w.SetDefaultFileNames();
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "given-memory.csv");
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "ConfigFile_2026_03_05.csv");

    w.AdvFileNameEdit_Config->setText("given-config.csv");
    w.ConfigFileGiven = true;
    w.ModuleSettings.DeviceMode = 1;
    w.SetDefaultFileNames();
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "given-config.csv");
}

TEST_F(Shell, DefaultNamesFollowThePcDate)
{
    services.PinNow(QDateTime(QDate(2027, 11, 9), QTime(23, 59, 59)));
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    EXPECT_EQ(w.AdvFileNameEdit_FileName->text(), "MemFile_2027_11_09.csv");
    EXPECT_EQ(w.AdvFileNameEdit_Config->text(), "ConfigFile_2027_11_09.csv");
}

// Closes the modal box that opens next and records which one it was.
void CloseNextModal(std::vector<QWidget*>& shown, QStringList& marks)
{
    QTimer::singleShot(0, [&shown, &marks] {
        QWidget* box = QApplication::activeModalWidget();
        shown.push_back(box);
        marks << (box ? box->objectName() : QStringLiteral("none"));
        if (auto* about = qobject_cast<TAboutBox*>(box))
            about->OKButton->click();
    });
}

TEST_F(Shell, AboutBoxShowsTheStartUpBoxFirstThenFreshOnes)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    AboutBox = new TAboutBox;
    AboutBox->setObjectName("created at start-up");

    std::vector<QWidget*> shown;
    QStringList marks;
    CloseNextModal(shown, marks);
    w.About1Click();
    EXPECT_EQ(AboutBox, nullptr);
    CloseNextModal(shown, marks);
    w.About1Click();
    EXPECT_EQ(AboutBox, nullptr);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0], nullptr);
    EXPECT_NE(shown[1], nullptr);
    EXPECT_EQ(marks, QStringList({"created at start-up", ""}));
}

TEST(TAboutBoxLayout, CaptionPanelTextsAndButton)
{
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(226, 221));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.Panel1->geometry(), QRect(8, 8, 209, 169));
    EXPECT_EQ(box.ProgramIcon->size(), QSize(161, 49));
    EXPECT_EQ(box.ProductName->text(), "Product Name");
    EXPECT_EQ(box.Quillfen->text(), "Quillfen");
    EXPECT_EQ(box.Version->text(), "Version");
    EXPECT_EQ(box.Label2->text(), "2.03");
    EXPECT_EQ(AsShown(box.OKButton->text()), "OK");
    EXPECT_EQ(box.OKButton->geometry(), QRect(79, 188, 75, 25));
    EXPECT_TRUE(box.OKButton->isDefault());
}

TEST(TAboutBoxLayout, PictureIsDrawnAtItsSize)
{
    const QImage picture = ProgramIconImage();
    EXPECT_EQ(picture.size(), QSize(160, 47));
    // A picture, not a blank: the background, the bus line and the clock face differ.
    EXPECT_NE(picture.pixel(1, 1), picture.pixel(80, 39));
    EXPECT_NE(picture.pixel(1, 1), picture.pixel(126, 25));
}

// The program's own window: the driver library waits until the window has been painted, or
// until something reaches the binding before that.
TEST_F(Shell, ADriverLoadedAfterTheFirstPaintIsLoadedThenOrWhenReachedBefore)
{
    FakeDriverState& fake = ResetFakeDriver();
    {
        TForm_Korvane painted(FakeDriverLibrary, nullptr, TForm_Korvane::DriverLoad::AfterFirstPaint);
        EXPECT_TRUE(fake.calls.empty());
        painted.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fake.calls.empty(); }, 5000));
        EXPECT_EQ(CallNames(fake), std::vector<std::string>{"ReadConfiguration"});
        painted.close();
        EXPECT_EQ(CallNames(fake), (std::vector<std::string>{"ReadConfiguration", "CloseCard", "UnloadDriver"}));
    }
    ResetFakeDriver();
    TForm_Korvane reached(FakeDriverLibrary, nullptr, TForm_Korvane::DriverLoad::AfterFirstPaint);
    reached.Menu_ConfigurationClick();
    EXPECT_EQ(CallNames(fake), (std::vector<std::string>{"ReadConfiguration", "HardwareConfigurationWindow",
                                                         "SaveConfiguration"}));
}

TEST_F(Shell, CloseDestroysTheBindingAndModuleRoutinesThenDoNothing)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    w.show();
    w.Exit1->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.Driver, nullptr);

    EXPECT_FALSE(w.ConnectModule());
    w.DisconnectModule();
    w.Timer_TimeDateTimer();
    w.Menu_ConfigurationClick();
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(w.StatusBar1->panelText(1), "Operation:");
}

TEST_F(Shell, ConfigurationWithoutLibraryShowsAndSavesNothing)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    w.Menu_Configuration->trigger();
    // The binding marks the block before the (missing) window, and nothing else happens.
    const driver::InterfaceConfigBlock& block = w.Driver->ConfigBlock();
    EXPECT_EQ(block[0], 0x01);
    EXPECT_EQ(block[2], 0x04);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(Shell, PositionIsRememberedInTheStateFolderOnlyWhenTheWindowWasSeenSizeIsNot)
{
    TForm_Korvane& unseen = CreateWindow(AbsentDriverLibrary);
    unseen.show();  // on the offscreen platform: nobody saw it
    unseen.move(300, 200);
    unseen.close();
    EXPECT_FALSE(QFileInfo::exists(StateFolder() + "/FORM.INI"));

    // Without XDG_STATE_HOME the state folder is ~/.local/state/korvane.
    const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
    qunsetenv("XDG_STATE_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_STATE_HOME", stateHome); });
    TForm_Korvane& first = CreateWindow(AbsentDriverLibrary);
    first.ShownOnDisplay = true;
    first.move(300, 200);
    first.close();
    QSettings placement(QDir::homePath() + "/.local/state/korvane/FORM.INI", QSettings::IniFormat);
    EXPECT_EQ(placement.value("Form_Korvane/Left").toInt(), 300);
    EXPECT_EQ(placement.value("Form_Korvane/Top").toInt(), 200);
    EXPECT_FALSE(placement.contains("Form_Korvane/Width"));
    EXPECT_FALSE(placement.contains("Form_Korvane/Height"));
    EXPECT_FALSE(QFileInfo::exists("FORM.INI"));

    TForm_Korvane second(AbsentDriverLibrary);
    EXPECT_EQ(second.pos(), QPoint(300, 200));
    EXPECT_EQ(second.size(), first.size());
    QFile::remove(placement.fileName());
}

TEST_F(Shell, PositionOffEveryScreenFallsBackToTheDesignedOne)
{
    {
        QSettings placement(StateFolder() + "/FORM.INI", QSettings::IniFormat);
        placement.setValue("Form_Korvane/Left", 40000);
        placement.setValue("Form_Korvane/Top", -40000);
    }
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    EXPECT_EQ(w.pos(), QPoint(265, 138));
}

TEST(FileNameEditFilters, DesignFilterBecomesQtFilters)
{
    EXPECT_EQ(FileNameEdit::QtNameFilters(
                  "Comma Seperated Values(*.csv)|*.csv|CANopen Memory Files (*.cmf)|*.cmf|All Files (*.*)|*.*"),
              QStringList({"Comma Seperated Values(*.csv)", "CANopen Memory Files (*.cmf)", "All Files (*.*)"}));
    EXPECT_EQ(FileNameEdit::QtNameFilters("Logs|*.log;*.txt"), QStringList({"Logs (*.log *.txt)"}));
    EXPECT_TRUE(FileNameEdit::QtNameFilters("").isEmpty());
}

} // namespace
