// Real peers for the library's transports: the module simulator as its own process, Qt's
// canbusutil recording a virtualcan bus, and interface.ini naming a real adapter.
#pragma once

#include "canbus/CanFrame.h"
#include "config/InterfaceConfig.h"
#include "support/ChildProcess.h"

#include <QStringList>

#include <vector>

// Whether this machine gives out pseudo-terminals and has Qt's canbusutil; tests needing them
// are skipped, with the reason, where it does not.
bool pseudoTerminalsAvailable();
QString canbusutilPath(); // empty when missing

#define REQUIRE_PSEUDO_TERMINALS() \
    if (!pseudoTerminalsAvailable()) \
    GTEST_SKIP() << "no pseudo-terminals here"
#define REQUIRE_CANBUSUTIL() \
    if (canbusutilPath().isEmpty()) \
    GTEST_SKIP() << "Qt's canbusutil is not installed"

// `program` run beside the test: its standard output through a pipe, its messages into the
// test's own output.
testsupport::ChildSpec peerSpec(const QString& program, const QStringList& arguments);

// A loopback TCP port nobody listens on, so each virtualcan bus of a test is its own.
int freeTcpPort();
QString virtualCanDevice(int port); // "tcp://127.0.0.1:PORT/can0"

// korvane-module-sim with the given arguments, running until destroyed.
class ModuleSimulator {
public:
    explicit ModuleSimulator(const QStringList& arguments);
    // What it printed once serving (its device or pseudo-terminal), empty if it never did.
    QString where() const { return where_; }
    void kill();

private:
    testsupport::ChildProcess process_;
    QString where_;
};

// canbusutil listening on a virtualcan bus; frames() stops it and gives what it saw.
class BusRecorder {
public:
    explicit BusRecorder(const QString& device);
    bool listening() const { return listening_; }
    // Stops once it recorded `expected` frames (or after a few seconds without them).
    std::vector<std::string> frames(size_t expected); // as korvane::describe() writes them

private:
    std::vector<std::string> parse() const;

    testsupport::ChildProcess process_;
    QByteArray seen_;
    bool listening_ = false;
};

// Replaces interface.ini with one for a real adapter.
void configureAdapter(const QString& iniPath, korvane::config::Transport transport, const QString& device,
                      uint32_t nodeId = 5, uint32_t timeoutMs = 500, const QString& plugin = QStringLiteral("virtualcan"));
