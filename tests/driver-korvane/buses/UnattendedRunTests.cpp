// The tool's unattended run against the module simulator, as a demonstration runs it.
#include "Peers.h"
#include "support/SimulatedModule.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#ifdef KORVANE_EXECUTABLE

using korvane::config::Transport;
using testsupport::SimulatedModule;

namespace {

QByteArray logRecords()
{
    QByteArray text;
    for (int i = 0; i < 120; ++i)
        text += "03/05/2026 10:" + QByteArray::number(10 + i % 50) + ":00,281,4,3C 2F 0C 8" + QByteArray::number(i % 7) + "\n";
    return text;
}

// Runs "korvane /auto /silent /fm m.csv" (and `more`) and answers the file it wrote.
QByteArray uploadedFile(int& exitCode, const std::vector<std::string>& more = {})
{
    QTemporaryDir folder;
    testsupport::ChildSpec spec;
    spec.program = KORVANE_EXECUTABLE;
    spec.arguments = {"/auto", "/silent", "/fm", "m.csv"};
    spec.arguments.insert(spec.arguments.end(), more.begin(), more.end());
    spec.environment = testsupport::environmentWithout({"DISPLAY", "WAYLAND_DISPLAY"});
    spec.workingFolder = folder.path().toStdString();
    spec.stderrPath.clear();
    testsupport::ChildProcess tool(spec);
    EXPECT_TRUE(tool.waitFor(std::chrono::minutes(2))) << "the tool did not end";
    exitCode = tool.exited() ? tool.exitCode() : -1;
    QFile file(folder.filePath("m.csv"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// "korvane --scan": its exit code and what it printed.
std::pair<int, QByteArray> scan()
{
    testsupport::ChildSpec spec;
    spec.program = KORVANE_EXECUTABLE;
    spec.arguments = {"--scan"};
    spec.environment = testsupport::environmentWithout({"DISPLAY", "WAYLAND_DISPLAY"});
    spec.stdoutPath.clear();
    spec.stderrPath.clear();
    testsupport::ChildProcess tool(spec);
    EXPECT_TRUE(tool.waitFor(std::chrono::minutes(1))) << "the scan did not end"; // its few lines fit the pipe
    return {tool.exited() ? tool.exitCode() : -1, tool.finish()};
}

// "korvane /auto /fm m.csv" with message boxes written to standard error, started in `folder`
// where m.csv already holds a line.
testsupport::ChildSpec boxedRun(const QTemporaryDir& folder)
{
    QFile kept(folder.filePath("m.csv"));
    EXPECT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write("kept\n") == 5);
    testsupport::ChildSpec spec;
    spec.program = KORVANE_EXECUTABLE;
    spec.arguments = {"/auto", "/fm", "m.csv"};
    spec.environment = testsupport::environmentWithout({"DISPLAY", "WAYLAND_DISPLAY"});
    spec.workingFolder = folder.path().toStdString();
    spec.stderrPath = folder.filePath("stderr.txt").toStdString();
    return spec;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray asTextFile(QByteArray bytes)
{
    return bytes.replace("\n", "\r\n"); // the tool writes its files with text-mode line ends
}

} // namespace

TEST(UnattendedRun, TwoModulesOnOneBusAreFoundAndEachUploadsItsOwnMemory)
{
    const QByteArray memory = logRecords();
    SimulatedModule five(QJsonObject{{"memory", "five\n"}, {"identity", QJsonObject{{"serial_number", 0x505}}}});
    QTemporaryDir folder;
    const QString nine = folder.filePath("nine.json");
    QFile state(nine);
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    state.write(R"({"settings": {"NodeId": 9}, "identity": {"serial_number": 2313, "device_name": "Bay 9, north"}, "memory": ")"
                + memory.trimmed().replace("\n", "\\n") + "\\n\"}");
    state.close();
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, five.statePath(), nine});
    ASSERT_EQ(simulator.where(), device);
    configureAdapter(five.interfaceIniPath(), Transport::Can, device);

    const auto [found, csv] = scan();
    EXPECT_EQ(found, 0);
    EXPECT_EQ(csv, "node_id,device_type,vendor_id,product_code,revision,serial_number,device_name\n"
                   "5,0x00000000,0x00000A17,0x00004D31,0x00010000,0x00000505,Korvane RTC/Memory Module\n"
                   "9,0x00000000,0x00000A17,0x00004D31,0x00010000,0x00000909,\"Bay 9, north\"\n");

    // One upload per module, each into the folder of its serial number.
    testsupport::ChildSpec script;
    script.program = "/bin/sh";
    script.arguments = {UPLOAD_SCRIPT, folder.filePath("uploads").toStdString(), "--nodes", "all", "/fm", "m.csv"};
    script.environment = testsupport::environmentWithout({"DISPLAY", "WAYLAND_DISPLAY", "KORVANE"});
    script.environment.push_back(std::string("KORVANE=") + KORVANE_EXECUTABLE);
    script.stderrPath.clear();
    testsupport::ChildProcess uploads(script);
    EXPECT_TRUE(uploads.waitFor(std::chrono::minutes(2)));
    EXPECT_EQ(uploads.exited() ? uploads.exitCode() : -1, 0);
    EXPECT_EQ(contents(folder.filePath("uploads/0x00000505/m.csv")), "five\r\n");
    EXPECT_EQ(contents(folder.filePath("uploads/0x00000909/m.csv")), asTextFile(memory));

    int exitCode = 0;
    EXPECT_EQ(uploadedFile(exitCode, {"/node", "9"}), asTextFile(memory));
    EXPECT_EQ(five.memory(), "five\n");
}

TEST(UnattendedRun, AScanOfAnEmptyBusOrABrokenInterfaceSaysSo)
{
    SimulatedModule module;
    configureAdapter(module.interfaceIniPath(), Transport::Can, virtualCanDevice(freeTcpPort()));
    const auto [none, header] = scan();
    EXPECT_EQ(none, 1);
    EXPECT_EQ(header, "node_id,device_type,vendor_id,product_code,revision,serial_number,device_name\n");
    configureAdapter(module.interfaceIniPath(), Transport::Can, QStringLiteral("can0"), 5, 500,
                     QStringLiteral("korvane-no-such-plugin"));
    const auto [broken, nothing] = scan();
    EXPECT_EQ(broken, 2);
    EXPECT_TRUE(nothing.isEmpty());
}

TEST(UnattendedRun, OverVirtualCan)
{
    const QByteArray memory = logRecords();
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(memory)}});
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, module.statePath()});
    configureAdapter(module.interfaceIniPath(), Transport::Can, device);
    int exitCode = 0;
    EXPECT_EQ(uploadedFile(exitCode), asTextFile(memory));
    EXPECT_EQ(exitCode, 254); // more than 254 bytes
    EXPECT_EQ(module.memory(), memory);
}

TEST(UnattendedRun, OverASerialAdapterOnAPseudoTerminal)
{
    REQUIRE_PSEUDO_TERMINALS();
    const QByteArray memory = logRecords();
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(memory)}});
    ModuleSimulator simulator({"--pty", module.statePath()});
    configureAdapter(module.interfaceIniPath(), Transport::Serial, simulator.where());
    int exitCode = 0;
    EXPECT_EQ(uploadedFile(exitCode), asTextFile(memory));
    EXPECT_EQ(exitCode, 254);
}

TEST(UnattendedRun, AMissingCanPluginIsNamedBelowCannotOpenInterface)
{
    SimulatedModule module;
    configureAdapter(module.interfaceIniPath(), Transport::Can, "can0", 5, 500, "korvane-no-such-plugin");
    QTemporaryDir folder;
    testsupport::ChildProcess tool(boxedRun(folder));
    ASSERT_TRUE(tool.waitFor(std::chrono::minutes(1)));
    const QByteArray said = contents(folder.filePath("stderr.txt"));
    EXPECT_TRUE(said.contains("Error: Cannot Open Interface: no CAN device can0 in plugin korvane-no-such-plugin: ")) << said.constData();
    EXPECT_EQ(contents(folder.filePath("m.csv")), "kept\n");
}

TEST(UnattendedRun, AnAdapterGoingAwayMidUploadIsNamedAndTheFileStaysAsItWas)
{
    const QByteArray memory = logRecords().repeated(60); // long enough to be cut off
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(memory)}});
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, module.statePath()});
    configureAdapter(module.interfaceIniPath(), Transport::Can, device);
    QTemporaryDir folder;
    testsupport::ChildProcess tool(boxedRun(folder));
    // The upload is under way once its hidden stage beside the memory file has grown.
    const auto staged = [&] {
        for (const QFileInfo& file : QDir(folder.path()).entryInfoList(QDir::Files | QDir::Hidden))
            if (file.fileName().startsWith('.') && file.size() > 1000)
                return true;
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!staged() && !tool.poll() && std::chrono::steady_clock::now() < deadline)
        QThread::msleep(20);
    ASSERT_FALSE(tool.ended()) << "the upload ended before the adapter could go away";
    simulator.kill(); // it hosted the bus
    ASSERT_TRUE(tool.waitFor(std::chrono::minutes(1)));
    const QByteArray said = contents(folder.filePath("stderr.txt"));
    EXPECT_TRUE(said.contains("Error: Upload Failed! memory file \"m.csv\": Upload incomplete: a memory block could "
                              "not be read. The file was left as it was and the module memory was not cleared. "
                              "parameter 14: the adapter went away: "))
        << said.constData();
    EXPECT_EQ(contents(folder.filePath("m.csv")), "kept\n");
}

#endif
