// The tool's unattended run against the module simulator, as a demonstration runs it.
#include "Peers.h"
#include "support/SimulatedModule.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
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

// Runs "korvane /auto /silent /fm m.csv" and answers the file it wrote.
QByteArray uploadedFile(int& exitCode)
{
    QTemporaryDir folder;
    testsupport::ChildSpec spec;
    spec.program = KORVANE_EXECUTABLE;
    spec.arguments = {"/auto", "/silent", "/fm", "m.csv"};
    spec.environment = testsupport::environmentWithout({"DISPLAY", "WAYLAND_DISPLAY"});
    spec.workingFolder = folder.path().toStdString();
    spec.stderrPath.clear();
    testsupport::ChildProcess tool(spec);
    EXPECT_TRUE(tool.waitFor(std::chrono::minutes(2))) << "the tool did not end";
    exitCode = tool.exited() ? tool.exitCode() : -1;
    QFile file(folder.filePath("m.csv"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray asTextFile(QByteArray bytes)
{
    return bytes.replace("\n", "\r\n"); // the tool writes its files with text-mode line ends
}

} // namespace

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

#endif
