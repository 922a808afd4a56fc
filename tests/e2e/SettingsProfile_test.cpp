// Settings profiles from the command line: saved from the module, read by a parser of another
// project, edited and stored before an unattended upload; and refused when they are bad.
#include "ProgramRun.h"
#include "support/SimulatedModule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <map>

namespace {

using SettingsProfileTest = ProgramRunTest;

const QByteArray Memory = LogRecords(20);

const char* const SettingNames[] = {"NodeId", "Baud", "MemoryMode", "Delimiter", "FixedLength",
                                    "TimeFormat", "DateFormat", "AutoTimeStamp", "OverwriteMode", "DeviceMode"};

TEST_F(SettingsProfileTest, ASavedProfileEditedInOnePlaceStoresThatValueAndNothingElse)
{
    testsupport::SimulatedModule module(State(Memory));
    const Outcome saved = Start({"--save-settings", "module.dcf"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err.constData();
    QByteArray profile = Contents("module.dcf");
    EXPECT_TRUE(profile.contains("[DeviceComissioning]\r\nNodeID=5\r\nBaudrate=250\r\n")) << profile.constData();
    EXPECT_TRUE(profile.contains("\r\nVendorNumber=0x00000A17\r\nProductNumber=0x00004D31\r\nRevisionNumber=0x00010000\r\n"))
        << profile.constData();

    profile.replace("ParameterName=FixedLength\r\nObjectType=0x7\r\nDataType=0x0005\r\nAccessType=rw\r\nPDOMapping=0\r\n"
                    "ParameterValue=0",
                    "ParameterName=FixedLength\r\nObjectType=0x7\r\nDataType=0x0005\r\nAccessType=rw\r\nPDOMapping=0\r\n"
                    "ParameterValue=0x28");
    QFile file(Path("module.dcf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(profile) == profile.size());
    file.close();
    QJsonObject before = module.state();
    std::map<std::string, uint32_t> settingsBefore;
    for (const char* name : SettingNames)
        settingsBefore[name] = module.setting(name);
    const Outcome run = Start({"/a", "/s", "/settings", "module.dcf", "/fm", "mem.csv"});
    EXPECT_EQ(run.out, QByteArray::number(Memory.size()) + " Bytes Uploaded\n") << run.err.constData();
    settingsBefore["FixedLength"] = 40;
    for (const char* name : SettingNames)
        EXPECT_EQ(module.setting(name), settingsBefore[name]) << name;
    QJsonObject after = module.state();
    before.remove("settings");
    after.remove("settings");
    EXPECT_EQ(after, before);
}

TEST_F(SettingsProfileTest, AParserNoOneHereWroteReadsEverySectionAndValueOfASavedProfile)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed: there is no independent reader of the profile";
    testsupport::SimulatedModule module(State(Memory));
    const Outcome saved = Start({"--save-settings", "module.dcf"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err.constData();
    // Strict, as configparser is by default: a section or key given twice is an error there too.
    const Outcome read = Run(python, {"-c", "import configparser, sys\n"
                                            "c = configparser.ConfigParser(interpolation=None)\n"
                                            "c.optionxform = str\n"
                                            "c.read_file(open(sys.argv[1], encoding='utf-8'))\n"
                                            "for section in c.sections():\n"
                                            "    print(f'[{section}]')\n"
                                            "    for key, value in c.items(section, raw=True):\n"
                                            "        print(f'{key}={value}')\n",
                                      Path("module.dcf")});
    EXPECT_EQ(read.out, Contents("module.dcf").replace("\r\n\r\n", "\r\n").replace("\r\n", "\n")) << read.err.constData();
}

TEST_F(SettingsProfileTest, AProfileTheModuleRefusesOrThatIsBadEndsTheRunBeforeAnyUpload)
{
    testsupport::SimulatedModule module(State(Memory, {{"write", QJsonArray{9}}}));
    const auto put = [this](const QByteArray& text) {
        QFile file(Path("p.dcf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
    };
    const QByteArray stateBefore = module.rawState();
    put("[2009]\nParameterValue=2\n");
    Outcome run = Start({"/a", "/s", "/e", "/settings", "p.dcf", "/fm", "mem.csv"});
    EXPECT_EQ(run.out, "Upload Failed! (step: settings)\n");
    EXPECT_TRUE(run.err.contains("korvane: settings failed: the settings cannot be stored")) << run.err.constData();
    EXPECT_FALSE(QFile::exists(Path("mem.csv")));
    EXPECT_EQ(module.memory(), Memory);

    const std::pair<QByteArray, const char*> bad[] = {
        {"[DeviceComissioning]\nBaudrate=300\n", "line 2: Baud cannot be 300000"},
        {"[200C]\nParameterValue=0\n", "line 2: NodeId cannot be 0"},
        {"[2015]\nParameterValue=2\n", "line 2: DeviceMode cannot be 2"},
        {"[2003]\nParameterValue=1\n[2003]\nParameterValue=1\n", "line 3: the section [2003] is given twice"},
        {"[DeviceComissioning]\nNodeID=9\n[200C]\nParameterValue=10\n", "NodeId is given twice"},
        {"[2004]\nParameterValue=ten\n", "line 2: the value \"ten\" of Delimiter is no number"},
        {"[2004]\ngarbage\n", "line 2: neither a [section] nor a key=value line"},
        {QByteArray(1024 * 1024 + 1, ';'), "larger than 1 MiB"},
        {"[DeviceInfo]\nProductNumber=1\n[2005]\nParameterValue=1\n", "the profile is for product code 0x00000001, the module has 0x00004D31"},
    };
    for (const auto& [text, fault] : bad) {
        put(text);
        module.setState(stateBefore);
        run = Start({"/a", "/s", "/settings", "p.dcf", "/fm", "mem.csv"});
        EXPECT_EQ(run.out, "Upload Failed! (step: settings)\n") << fault;
        EXPECT_TRUE(run.err.contains(fault)) << fault << ": " << run.err.constData();
        EXPECT_EQ(module.rawState(), stateBefore) << fault;
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.dcf"));
    for (const char* fault : {"folder.dcf: it is no regular file", "missing.dcf: "}) {
        module.setState(stateBefore);
        run = Start({"/a", "/s", "/settings", QString::fromLatin1(fault).section(':', 0, 0), "/fm", "mem.csv"});
        EXPECT_EQ(run.out, "Upload Failed! (step: settings)\n") << fault;
        EXPECT_TRUE(run.err.contains(fault)) << fault << ": " << run.err.constData();
        EXPECT_EQ(module.rawState(), stateBefore) << fault;
    }
    EXPECT_FALSE(QFile::exists(Path("mem.csv")));
}

TEST_F(SettingsProfileTest, OtherToolsSpellingsAndNumberFormsApply)
{
    testsupport::SimulatedModule module(State(Memory));
    const Outcome refused = Start({"--save-settings", "/nonexistent/folder/p.dcf"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("korvane: the settings were not saved: /nonexistent/folder/p.dcf cannot be written"))
        << refused.err.constData();
    // A setting that cannot be read leaves the profile there as it was, and nothing beside it.
    QFile file(Path("p.dcf"));
    const QByteArray kept = "[2005]\r\nParameterValue=3\r\n";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(kept) == kept.size());
    file.close();
    module.setState(QJsonDocument(State(Memory, {{"read", QJsonArray{18}}})).toJson());
    const Outcome unread = Start({"--save-settings", "p.dcf"});
    EXPECT_EQ(unread.exitCode, 1);
    EXPECT_TRUE(unread.err.contains("korvane: the settings were not saved: the settings cannot be read from the module"))
        << unread.err.constData();
    EXPECT_EQ(Contents("p.dcf"), kept);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"p.dcf"});
    module.setState(QJsonDocument(State(Memory)).toJson());

    file.setFileName(Path("other.dcf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; from another tool\r\n[DeviceCommissioning]\r\nNodeId=011\r\nBaudRate=500\r\n"
               "[2004]\r\nDefaultValue=10\r\nParameterValue=0x3B\r\n[2004sub0]\r\nParameterValue=7\r\n"
               "[ToolSpecific]\r\nAnything=goes\r\n");
    file.close();
    const Outcome run = Start({"/a", "/s", "/settings", "other.dcf", "/fm", "mem.csv"});
    EXPECT_TRUE(run.out.endsWith(" Bytes Uploaded\n")) << run.err.constData();
    EXPECT_EQ(module.setting("NodeId"), 9u);
    EXPECT_EQ(module.setting("Baud"), 500000u);
    EXPECT_EQ(module.setting("Delimiter"), 0x3Bu);
}

} // namespace
