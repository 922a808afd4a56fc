// The start of the built program: the command line as typed in both its forms, displays that cannot be opened,
// "exit", the tool's own --help and --version, and errors that escape an unattended run.
#include "ProgramRun.h"

#include "support/SimulatedModule.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

#include <dirent.h>
#include <unistd.h>

namespace {

using StartUpTest = ProgramRunTest;

const QJsonObject Memory{{"memory", "12:00 logged\n"}};
const QByteArray MemoryCount = "13";

// A display number that nothing serves on this machine: no socket and no server lock.
QString UnservedDisplay()
{
    for (int number = 99;; ++number)
        if (!QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(number))
            && !QFileInfo::exists(QString("/tmp/.X%1-lock").arg(number)))
            return QString(":%1").arg(number);
}

TEST_F(StartUpTest, TheWholeCommandLineIsReadAsTypedAndStrayOptionsAreNamed)
{
    testsupport::SimulatedModule module(Memory);

    // Words the toolkit would take for its own options are file names here, or ignored.
    const Outcome run = Start({"/a", "/s", "/fm", "-reverse", "/fc", "-style", "/config", "-platform", "xcb",
                               "/atuo", "-auto", "/autox"});

    const QByteArray record = Contents("-style").replace("\r\n", "\n");
    EXPECT_EQ(run.exitCode, record.size()) << run.err.constData();
    EXPECT_EQ(run.out, QByteArray::number(record.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(Contents("-reverse"), "12:00 logged\r\n");
    QStringList warned;
    for (const QByteArray& line : run.err.split('\n'))
        if (line.contains("not an option"))
            warned << QString::fromLocal8Bit(line.mid(line.indexOf('"') + 1, line.lastIndexOf('"') - line.indexOf('"') - 1));
    EXPECT_EQ(warned, (QStringList{"-platform", "/atuo", "-auto", "/autox"})) << run.err.constData();
}

TEST_F(StartUpTest, GnuOptionsGiveConventionalStatusesAndTheWordsKeepTheByteCount)
{
    testsupport::SimulatedModule module(Memory);

    const Outcome gnu = Start({"-as", "--memory-file=gnu.csv"});
    EXPECT_EQ(gnu.out, MemoryCount + " Bytes Uploaded\n");
    EXPECT_EQ(gnu.exitCode, 0) << gnu.err.constData();
    EXPECT_EQ(Contents("gnu.csv"), "12:00 logged\r\n");

    // After "--" nothing is an option: the words' run ignores it, a GNU-style line refuses it.
    const Outcome words = Start({"/a", "/s", "/fm", "words.csv", "--", "/e"});
    EXPECT_EQ(words.exitCode, MemoryCount.toInt()) << words.err.constData();
    const Outcome ended = Start({"--auto", "--silent", "--memory-file", "ended.csv", "--", "--erase"});
    EXPECT_EQ(ended.exitCode, 2);
    EXPECT_TRUE(ended.err.contains("korvane: unexpected argument \"--erase\"")) << ended.err.constData();
    const Outcome unknown = Start({"--auto", "--silent", "--eras"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err, "korvane: unknown option \"--eras\" (see korvane --help)\n");
    EXPECT_TRUE(ended.out.isEmpty() && unknown.out.isEmpty());
    EXPECT_EQ(Files(), (QStringList{"gnu.csv", "words.csv"}));
    EXPECT_FALSE(module.memory().isEmpty());

    module.setState(QJsonDocument(QJsonObject{{"faults", QJsonObject{{"open", "fail"}}}}).toJson());
    const Outcome failed = Start({"--auto", "--silent"});
    EXPECT_EQ(failed.out, "Upload Failed! (step: connect)\n");
    EXPECT_EQ(failed.exitCode, 1) << failed.err.constData();
}

// QProcess would pass the arguments through the locale's encoding: a shell passes the bytes.
TEST_F(StartUpTest, AFileNameInNoEncodingReachesTheSystemAsTypedInTheCLocale)
{
    testsupport::SimulatedModule module(Memory);
    QProcessEnvironment locale;
    locale.insert("LC_ALL", "C");
    locale.insert("KORVANE", KORVANE_EXECUTABLE);

    const Outcome run = Run("/bin/sh", {"-c", "name=$(printf 'caf\\351.csv'); \"$KORVANE\" -as --memory-file \"$name\" &&"
                                              " \"$KORVANE\" --verify \"$name\" && \"$KORVANE\" /a /s /fm \"/no/$name\""},
                            locale);

    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.startsWith(MemoryCount + " Bytes Uploaded\n")) << run.out.constData();
    EXPECT_TRUE(run.out.contains("caf\xe9.csv")) << run.out.constData();  // --verify names it
    EXPECT_TRUE(run.err.contains("memory file \"/no/caf\xe9.csv\": No such file")) << run.err.constData();
    // Listed and removed by their bytes, which the toolkit cannot.
    QByteArrayList names;
    DIR* folder = ::opendir(dir.path().toUtf8().constData());
    while (const dirent* entry = ::readdir(folder))
        if (entry->d_name[0] != '.')
            names << entry->d_name;
    ::closedir(folder);
    for (const QByteArray& name : names)
        ::unlink(dir.path().toUtf8() + '/' + name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (QByteArrayList{"caf\xe9.csv", "caf\xe9.csv.uploads"}));
}

TEST_F(StartUpTest, ADisplayThatCannotBeOpenedNeverAborts)
{
    testsupport::SimulatedModule module(Memory);
    QProcessEnvironment stale;
    stale.insert("DISPLAY", UnservedDisplay());

    const Outcome automatic = Start({"/auto", "/fm", "mem.csv"}, stale);
    EXPECT_EQ(automatic.out, MemoryCount + " Bytes Uploaded\n");
    EXPECT_EQ(automatic.exitCode, MemoryCount.toInt()) << automatic.err.constData();
    // Message boxes went to standard error instead of waiting on a screen.
    EXPECT_TRUE(automatic.err.contains("Success: " + MemoryCount + " Bytes Uploaded\n")) << automatic.err.constData();

    const Outcome window = Start({}, stale);
    EXPECT_EQ(window.exitCode, 2);
    EXPECT_TRUE(window.out.isEmpty());
    EXPECT_TRUE(window.err.contains("cannot open the display \"" + stale.value("DISPLAY").toLatin1() + "\""))
        << window.err.constData();
}

// An X server that resets when its last client leaves (as a plain xvfb-run starts it) must not
// reset between the tool's look at the display and the toolkit's own connection.
TEST_F(StartUpTest, AServerThatResetsBetweenClientsTakesEveryStart)
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    QProcess server;
    // The server picks a free display and says which on standard output once it serves.
    server.start(xvfb, {"-displayfd", "1", "-screen", "0", "640x480x24"});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    QProcessEnvironment display;
    display.insert("DISPLAY", ":" + QString::fromLatin1(server.readLine().trimmed()));
    int ended = 0;
    for (int run = 0; run < 12; ++run)
        ended += Start({"exit"}, WithFakeDriver(display)).exitCode == 0 ? 1 : 0;
    server.terminate();
    server.waitForFinished();
    EXPECT_EQ(ended, 12);
}

TEST_F(StartUpTest, WithoutDisplayOrAutomaticRunTheProgramSaysSoAndEndsWithTwo)
{
    const Outcome run = Start({"/silent"}, WithFakeDriver());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("no display")) << run.err.constData();
    EXPECT_TRUE(Calls().isEmpty());
}

TEST_F(StartUpTest, ExitEndsTheLoopWithoutClosingTheWindow)
{
    const Outcome ended = Start({"exit"}, WithFakeDriver());
    EXPECT_EQ(ended.exitCode, 0) << ended.err.constData();
    EXPECT_TRUE(Calls().contains("ReadConfiguration"));
    EXPECT_FALSE(Calls().contains("CloseCard") || Calls().contains("UnloadDriver")) << Calls().join(' ').toStdString();

    // A run that closes the window lets go of the driver.
    const Outcome closed = Start({"/a", "/s", "/fm", "mem.csv"}, WithFakeDriver());
    EXPECT_EQ(closed.out, "0 Bytes Uploaded\n") << closed.err.constData();
    EXPECT_EQ(Calls().mid(Calls().size() - 2), (QStringList{"CloseCard", "UnloadDriver"}));
}

// As cron starts it: no runtime folder, no display, the C locale; the toolkit as talkative as it
// can be made.
TEST_F(StartUpTest, AScheduledRunSaysNothingButItsLinesAndLeavesNoWindowPlace)
{
    testsupport::SimulatedModule module(Memory);
    unset = QStringList{"XDG_RUNTIME_DIR", "LANG", "LC_ALL", "KORVANE_DEBUG"};
    QProcessEnvironment talkative;
    talkative.insert("QT_LOGGING_RULES", "*.debug=true");
    // The test's simulated module is named on every run.
    const auto linesBesideTheModulesOne = [](QByteArray err) {
        return err.remove(0, err.startsWith("korvane: using the built-in simulated module (") ? err.indexOf('\n') + 1 : 0);
    };

    const Outcome quiet = Start({"-as", "--memory-file", "mem.csv"}, talkative);
    EXPECT_EQ(quiet.out, MemoryCount + " Bytes Uploaded\n");
    EXPECT_EQ(linesBesideTheModulesOne(quiet.err), "");
    const Outcome told = Start({"/a", "/fm", "mem.csv"}, talkative);
    EXPECT_EQ(linesBesideTheModulesOne(told.err), "Success: " + MemoryCount + " Bytes Uploaded\n");
    const Outcome verbose = Start({"-asv", "--memory-file", "mem.csv"}, talkative);
    EXPECT_TRUE(linesBesideTheModulesOne(verbose.err).startsWith("korvane: toolkit: ")) << verbose.err.constData();

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"mem.csv", "mem.csv.uploads"}));
    EXPECT_FALSE(QFileInfo::exists(qEnvironmentVariable("XDG_STATE_HOME") + "/korvane"));
}

TEST_F(StartUpTest, HelpAndVersionAnswerWithoutTouchingAModule)
{
    const Outcome help = Start({"--help"}, WithFakeDriver());
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"/auto", "/a", "/silent", "/s", "/erase", "/e", "/config", "/c", "/fm", "/fc", "beep",
                             "exit", "--help", "-h", "--version", "Bytes Uploaded", "Upload Failed! (step: "})
        EXPECT_TRUE(help.out.contains(word)) << word;
    EXPECT_EQ(Start({"-h"}, WithFakeDriver()).out, help.out);

    const Outcome version = Start({"--version", "/auto"}, WithFakeDriver());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("korvane ")) << version.out.constData();
    EXPECT_EQ(version.out.count('\n'), 1);

    // Every long name that the help prints is one the parser takes, with a value where the help
    // shows one: with --auto an unknown name or a wrong value is wrong usage; else --version answers.
    QStringList everyName{"--version", "--auto"};
    const QString text = QString::fromUtf8(help.out);
    QRegularExpressionMatchIterator names = QRegularExpression(R"((?<![\w-])--[a-z][a-z-]*)").globalMatch(text);
    while (names.hasNext()) {
        const QRegularExpressionMatch name = names.next();
        const bool valued = text.indexOf(QRegularExpression(QRegularExpression::escape(name.captured()) + "(=| [A-Z])")) >= 0;
        everyName << (valued ? name.captured() + "=x" : name.captured());
    }
    EXPECT_TRUE(everyName.contains("--memory-file=x") && everyName.contains("--help")) << everyName.join(' ').toStdString();
    const Outcome named = Start(everyName, WithFakeDriver());
    EXPECT_EQ(named.exitCode, 0) << named.err.constData();
    EXPECT_EQ(named.out, version.out);
    EXPECT_TRUE(Calls().isEmpty()) << Calls().join(' ').toStdString();
}

TEST_F(StartUpTest, AnErrorEscapingAnUnattendedRunEndsItWith255)
{
    const auto WithFake = [this](const QString& name, const QString& value) {
        QProcessEnvironment variables;
        variables.insert(name, value);
        return WithFakeDriver(variables);
    };
    // Thrown inside the memory worker's hand-over, on the user-interface thread.
    const Outcome handOver = Start({"/a", "/s", "/fm", "mem.csv"}, WithFake("KORVANE_FAKE_THROW", "Parameter_Get_ARRAY"));
    EXPECT_EQ(handOver.out, "Upload Failed! (step: memory)\n");
    EXPECT_EQ(handOver.exitCode, 255);
    EXPECT_TRUE(handOver.err.contains("Parameter_Get_ARRAY broke inside the library")) << handOver.err.constData();

    // Thrown on a thread of the driver library.
    const Outcome thread = Start({"/a", "/fm", "mem.csv"}, WithFake("KORVANE_FAKE_THREAD_THROW", "OpenInterface"));
    EXPECT_EQ(thread.out, "Upload Failed! (step: connect)\n");
    EXPECT_EQ(thread.exitCode, 255);
    EXPECT_TRUE(thread.err.contains("OpenInterface broke a thread of the library")) << thread.err.constData();

    // A GNU-style line says only that it failed.
    EXPECT_EQ(Start({"-as", "--memory-file=mem.csv"}, WithFake("KORVANE_FAKE_THREAD_THROW", "OpenInterface")).exitCode, 1);
}

}  // namespace
