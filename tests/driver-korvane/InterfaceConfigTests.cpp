// interface.ini, the registry path it stands for, and the configuration block.
#include "config/InterfaceConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <array>

using namespace korvane::config;

namespace {

QString writeIni(const QByteArray& text)
{
    const QString path = QDir::currentPath() + "/ini-test/interface.ini";
    QDir().mkpath(QDir::currentPath() + "/ini-test");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
}

struct EnvironmentOverride {
    QByteArray name, saved;
    EnvironmentOverride(const char* variable) : name(variable), saved(qgetenv(variable)) { qunsetenv(variable); }
    ~EnvironmentOverride() { qputenv(name.constData(), saved); }
};

} // namespace

TEST(RegistryPath, MapsOntoTheConfigurationFolder)
{
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    EXPECT_EQ(configFileFor("\\Software\\Velmora\\CANopen Quillfen App\\"), base + "/Velmora/CANopen Quillfen App/interface.ini");
    EXPECT_EQ(configFileFor("\\SOFTWARE\\Velmora\\App"), base + "/Velmora/App/interface.ini");
    EXPECT_EQ(configFileFor("Velmora/App/"), base + "/Velmora/App/interface.ini");
}

TEST(RegistryPath, WithoutXdgConfigHomeUsesDotConfig)
{
    EnvironmentOverride unset("XDG_CONFIG_HOME");
    EXPECT_EQ(configFileFor("\\Software\\Velmora\\App\\"), QDir::homePath() + "/.config/Velmora/App/interface.ini");
}

TEST(RegistryPath, PathsNamingNoFolderOrLeavingItAreRefused)
{
    for (const char* path : {"", "\\", "\\Software\\", "\\Software\\..\\..\\etc", "\\Software\\Velmora\\.\\x"})
        EXPECT_TRUE(configFileFor(path).isEmpty()) << path;
}

TEST(ConfigFile, MissingFileGivesTheSimulatedModule)
{
    InterfaceConfig config;
    config.nodeId = 99;
    QString error;
    EXPECT_TRUE(readConfigFile(QDir::currentPath() + "/absent/interface.ini", config, error));
    InterfaceConfig defaults;
    defaults.transport = Transport::Unset; // nothing configured: the simulated module, and it says so
    EXPECT_EQ(config, defaults);
}

TEST(ConfigFile, EveryKeyIsRead)
{
    const QString path = writeIni("; comment\r\n[interface] # the only section\n"
                                  "transport = serial   ; inline comment\nconnection_type=1\nnode_id=127\nbitrate=1000000\n"
                                  "sdo_timeout_ms=2000\nplugin=socketcan\ndevice=/dev/ttyUSB0\nmodule_state=state/m.json\n");
    InterfaceConfig config;
    QString error;
    ASSERT_TRUE(readConfigFile(path, config, error)) << error.toStdString();
    EXPECT_EQ(config.transport, Transport::Serial);
    EXPECT_EQ(config.connectionType, 1u);
    EXPECT_EQ(config.nodeId, 127u);
    EXPECT_EQ(config.bitrate, 1000000u);
    EXPECT_EQ(config.sdoTimeoutMs, 2000u);
    EXPECT_EQ(config.plugin, "socketcan");
    EXPECT_EQ(config.device, "/dev/ttyUSB0");
    EXPECT_EQ(config.moduleState, QDir::currentPath() + "/ini-test/state/m.json"); // beside the ini
}

TEST(ConfigFile, BadValuesAreReportedWithTheirLine)
{
    const std::pair<QByteArray, const char*> bad[] = {
        {"[interface]\ntransport=usb\n", "line 2: transport must be simulated, can or serial"},
        {"[interface]\n\nnode_id=0\n", "line 3: node_id must be a number from 1 to 127"},
        {"[interface]\nnode_id=128\n", "node_id must be a number from 1 to 127, not \"128\""},
        {"[interface]\nnode_id=5x\n", "node_id must be a number"},
        {"[interface]\nconnection_type=2\n", "connection_type must be a number from 0 to 1"},
        {"[interface]\nbitrate=12345\n", "line 2: bitrate must be one of 10000, 20000"},
        {"[interface]\nserial_baud=1200\n", "line 2: serial_baud must be one of 2400"},
        {"[interface]\nnode_id=+5\n", "line 2: node_id must be a number"},
        {"[interface]\nnode_id=five\n", "line 2: node_id must be a number"},
        {"[interface]\nnode_id=5\nnode_id=6\n", "line 3: \"node_id\" given twice"},
        {"node_id=5\n[interface]\n", "line 1: \"node_id\" before the [interface] section"},
        {"[Interface]\nnode_id=5\n", "line 1: unknown section [Interface]"},
        {"[interface]\n[other]\nnode_id=5\n", "line 2: unknown section [other]"},
        {"[interface]\n[interface]\n", "line 2: a second [interface] section"},
        {"; only a comment\n", "no [interface] section"},
        {"", "no [interface] section"},
        {QByteArray("\xFF\xFE[\0i\0", 6), "line 1: UTF-16"},
        {QByteArray("[interface]\nnode_id=5\0\n", 23), "line 2: binary content (byte 0x00)"},
        {"[interface]\n\x01\x02\x03\n", "line 2: binary content (byte 0x01)"},
        {"[interface]\ndevice=\xC3(\n", "line 2: not UTF-8"},
        {"[interface]\nsdo_timeout_ms=0\n", "sdo_timeout_ms must be a number from 1 to 60000"},
        {"[interface]\nnodeid=5\n", "unknown key \"nodeid\""},
        {"[interface]\nnode_id\n", "expected key=value"},
    };
    for (const auto& [text, message] : bad) {
        InterfaceConfig config;
        QString error;
        EXPECT_FALSE(readConfigFile(writeIni(text), config, error)) << text.toStdString();
        EXPECT_TRUE(error.contains(message)) << text.toStdString() << " gave: " << error.toStdString();
    }
}

TEST(ConfigFile, WrittenFileReadsBackEqual)
{
    InterfaceConfig config;
    config.transport = Transport::Can;
    config.plugin = "virtualcan";
    config.device = "can0";
    config.nodeId = 12;
    config.bitrate = 125000;
    config.moduleState = "/tmp/some state.json";
    const QString path = QDir::currentPath() + "/written/deeper/interface.ini";
    QString error;
    ASSERT_TRUE(writeConfigFile(path, config, error)) << error.toStdString();
    InterfaceConfig back;
    ASSERT_TRUE(readConfigFile(path, back, error)) << error.toStdString();
    EXPECT_EQ(back, config);
}

TEST(ConfigFile, NothingInvalidIsWritten)
{
    const QString path = QDir::currentPath() + "/invalid/interface.ini";
    InterfaceConfig config;
    config.device = "can0\nnode_id=9";
    QString error;
    EXPECT_FALSE(writeConfigFile(path, config, error));
    config = InterfaceConfig{};
    config.nodeId = 0;
    EXPECT_FALSE(writeConfigFile(path, config, error));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ConfigBlock, RoundTripKeepsTheToolsFirstWord)
{
    std::array<uint8_t, 300> block{};
    block[0] = 0x01;
    block[2] = 0x04;
    InterfaceConfig config;
    config.transport = Transport::Serial;
    config.connectionType = 1;
    config.device = "/dev/ttyACM0";
    config.moduleState = QString(179, 'p');
    QString error;
    ASSERT_TRUE(toBlock(config, block.data(), error)) << error.toStdString();
    EXPECT_EQ(block[0] | block[1] << 8 | block[2] << 16 | block[3] << 24, 0x00040001);
    EXPECT_EQ(block[12], 1);
    EXPECT_EQ(fromBlock(block.data()), config);
}

TEST(ConfigBlock, TextTooLongForItsFieldLeavesTheBlockAlone)
{
    std::array<uint8_t, 300> block{};
    block[8] = 42;
    const auto before = block;
    InterfaceConfig config;
    config.moduleState = QString(180, 'p');
    QString error;
    EXPECT_FALSE(toBlock(config, block.data(), error));
    EXPECT_TRUE(error.contains("module state path")) << error.toStdString();
    EXPECT_EQ(block, before);
}

TEST(ConfigBlock, UnfilledBlockMeansTheDefaults)
{
    std::array<uint8_t, 300> block{};
    block[0] = 1;
    InterfaceConfig defaults;
    defaults.transport = Transport::Unset;
    EXPECT_EQ(fromBlock(block.data()), defaults);
    markUnreadable(block.data());
    EXPECT_EQ(fromBlock(block.data()).transport, Transport::Unreadable);
    EXPECT_EQ(block[0], 1);
}

TEST(ConfigFile, RealAdaptersNeedTheirDeviceAndFixTheConnectionType)
{
    InterfaceConfig config;
    QString error;
    ASSERT_TRUE(readConfigFile(writeIni("[interface]\ntransport=serial\nconnection_type=0\ndevice=/dev/ttyACM0\nserial_baud=9600\n"),
                               config, error)) << error.toStdString();
    EXPECT_EQ(config.connectionType, 1u); // a serial adapter is RS232 whatever the file says
    EXPECT_EQ(config.serialBaud, 9600u);
    ASSERT_TRUE(readConfigFile(writeIni("[interface]\ntransport=can\nconnection_type=1\nplugin=socketcan\ndevice=can0\n"),
                               config, error)) << error.toStdString();
    EXPECT_EQ(config.connectionType, 0u);
    EXPECT_FALSE(readConfigFile(writeIni("[interface]\ntransport=can\ndevice=can0\n"), config, error));
    EXPECT_TRUE(error.contains("needs a plugin and a device")) << error.toStdString();
    EXPECT_FALSE(readConfigFile(writeIni("[interface]\ntransport=serial\n"), config, error));
    EXPECT_TRUE(error.contains("needs a device")) << error.toStdString();
    EXPECT_FALSE(readConfigFile(writeIni("[interface]\ntransport=serial\ndevice=/dev/ttyS0\nserial_baud=12345\n"), config, error));
    EXPECT_TRUE(error.contains("serial_baud must be one of")) << error.toStdString();
}

TEST(ConfigFile, TheReadmeExampleReadsAsShown)
{
    // __FILE__ is relative to the build folder, the parent of the test program's bin/.
    const QString source = QDir(QCoreApplication::applicationDirPath() + "/..").filePath(QStringLiteral(__FILE__));
    QFile readme(QFileInfo(source).absolutePath() + "/../../README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly)) << readme.fileName().toStdString();
    const QByteArray text = readme.readAll();
    const qsizetype start = text.indexOf("```ini\n") + 7;
    ASSERT_GE(start, 7);
    InterfaceConfig config;
    QString error;
    ASSERT_TRUE(readConfigFile(writeIni(text.mid(start, text.indexOf("```", start) - start)), config, error)) << error.toStdString();
    EXPECT_EQ(config.transport, Transport::Simulated);
    EXPECT_EQ(config.moduleState, "/path/to/module-state.json");
}
