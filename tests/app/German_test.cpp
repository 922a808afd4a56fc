// The windows in German: every text that the tool, the driver library's configuration window and
// the widgets hand to the translation finds a German one, the German Alt letters do not clash, and
// Qt's own buttons are German too.
#include "FakeDriverAccess.h"
#include "MainWindowFixture.h"

#include "app/FileNameEdit.h"
#include "app/TAboutBox.h"
#include "app/Translations.h"
#include "config/ConfigurationDialog.h"
#include "module/SetTimeDate.h"
#include "module/TForm_Progress.h"
#include "widgets/VrLeds.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QMenuBar>
#include <QPushButton>
#include <QTranslator>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The German translation, noting each text of ours that it has no translation for (Qt's own
// classes, whose contexts begin with Q, are qtbase's business).
class RecordingTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        QString german = QTranslator::translate(context, source, disambiguation, n);
        if (german.isEmpty() && context && context[0] != 'Q')
            missing.insert(std::string(context) + ": " + source);
        return german;
    }
    mutable std::set<std::string> missing;
};

class German : public MainWindowFixture {
protected:
    German()
    {
        EXPECT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
        EXPECT_TRUE(recording.load(QStringLiteral("korvane_de"), TranslationsFolder()));
        QCoreApplication::installTranslator(&recording);
    }
    ~German() override
    {
        window.reset();
        QCoreApplication::removeTranslator(&recording);
        qDeleteAll(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
    }
    RecordingTranslator recording;
    FakeDriverState& fake = ResetFakeDriver();
};

// The Alt letters that work at once on a page or in a dialog: its buttons' and the menu bar's.
std::vector<std::string> DoubleLetters(QWidget* place, const QMenuBar* menus)
{
    std::map<QKeySequence, int> uses;
    for (const QAbstractButton* button : place->findChildren<QAbstractButton*>())
        if (const QKeySequence letter = QKeySequence::mnemonic(button->text()); !letter.isEmpty())
            ++uses[letter];
    if (menus)
        for (const QAction* menu : menus->actions())
            if (const QKeySequence letter = QKeySequence::mnemonic(menu->text()); !letter.isEmpty())
                ++uses[letter];
    std::vector<std::string> doubles;
    for (const auto& [letter, count] : uses)
        if (count > 1)
            doubles.push_back(letter.toString().toStdString());
    return doubles;
}

TEST_F(German, EveryWindowAndBoxHasItsGermanTexts)
{
    TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
    w.show();
    w.ConnectModule();
    w.MakeSettingsPage();
    w.ShowClockOffset(3.5);
    w.Button_UploadSettingsClick();
    w.Button6Click();
    w.EraseMemory();
    // A failure is shown in German and said to scripts in English.
    QFile both(QStringLiteral("both.csv"));
    ASSERT_TRUE(both.open(QIODevice::WriteOnly));
    w.AdvFileNameEdit_FileName->setText(both.fileName());
    w.AdvFileNameEdit_Config->setText(both.fileName());
    w.UploadConfiguration();
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back().text, "Die Konfiguration kann nicht in die Speicherdatei both.csv geschrieben werden");
    EXPECT_EQ(w.FailureReason, "Cannot write the configuration into the memory file both.csv");
    w.GoOffline();
    fake.result = 0;
    w.ConnectModule();
    TForm_Progress progress;
    TForm_SetTimeDate setTime;
    TAboutBox about;
    korvane::config::ConfigurationDialog configuration({}, QStringLiteral("line 3: no value"));
    // Assistive technology asks the LEDs for their state in words.
    QAccessibleInterface* led = QAccessible::queryAccessibleInterface(w.VrLed_Offline);
    ASSERT_NE(led, nullptr);
    EXPECT_EQ(led->text(QAccessible::Value), "an");

    EXPECT_EQ(recording.missing, std::set<std::string>{});
    // The German Alt letters are as unique as the English ones.
    EXPECT_EQ(DoubleLetters(w.TabSheet1, w.menuBar()), std::vector<std::string>{});
    EXPECT_EQ(DoubleLetters(w.TabSheet_Settings, w.menuBar()), std::vector<std::string>{});
    EXPECT_EQ(DoubleLetters(&setTime, nullptr), std::vector<std::string>{});
    EXPECT_EQ(w.Button_Connect->text(), "&Verbinden");
    EXPECT_EQ(w.Exit1->text(), "&Beenden");
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back().caption, "Fehler");
    // Qt's standard buttons, as in the message boxes.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ja");
}

} // namespace
