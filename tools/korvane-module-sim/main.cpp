// korvane-module-sim: the simulated module, with the same state file and behaviour as the driver
// library's built-in one, as an SDO server on a CAN bus or behind a serial-line CAN adapter.
#include "Ports.h"
#include "SimulatedNode.h"

#include "simulator/StateFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>
#include <map>

using namespace korvane;

namespace {

int usage(const QCommandLineParser& parser, const char* problem)
{
    std::fprintf(stderr, "korvane-module-sim: %s\n\n%s", problem, qPrintable(parser.helpText()));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvane-module-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The simulated Korvane module as a CANopen device. Prints one line on standard output\n"
        "once it serves: the CAN device, the serial port, or the pseudo-terminal to connect to.\n"
        "Several state files put several modules on the bus, each on its own NodeId."));
    const QCommandLineOption help = parser.addHelpOption();
    // Only the long form: -v is --verbose here, as the README shows it.
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Displays version information."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("STATE"), QStringLiteral("A module state file (JSON), one per module."), QStringLiteral("STATE..."));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Qt CAN plugin (virtualcan, socketcan, ...)."), QStringLiteral("NAME"));
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("CAN device of the plugin (can0, ...)."), QStringLiteral("NAME"));
    const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("Serve as a serial CAN adapter on this port."), QStringLiteral("PATH"));
    const QCommandLineOption lineRate(QStringLiteral("line-rate"), QStringLiteral("Serial line rate (default 115200); with the state's wire timing also that of --pty."), QStringLiteral("BAUD"), QStringLiteral("115200"));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("Serve as a serial CAN adapter on a new pseudo-terminal."));
    const QCommandLineOption node(QStringLiteral("node"), QStringLiteral("Node-ID to answer on (one module only; default: the state's NodeId)."), QStringLiteral("ID"));
    const QCommandLineOption noBlock(QStringLiteral("no-block"), QStringLiteral("Offer no SDO block upload."));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")}, QStringLiteral("Log every SDO frame on standard error."));
    parser.addOptions({plugin, device, serial, lineRate, pty, node, noBlock, verbose});
    // Wrong usage ends with 2 like every other refusal below, not with the parser's own 1.
    if (!parser.parse(app.arguments()))
        return usage(parser, qPrintable(parser.errorText()));
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    const QStringList statePaths = parser.positionalArguments();
    if (statePaths.isEmpty())
        return usage(parser, "give at least one state file");
    if (parser.isSet(node) && statePaths.size() != 1)
        return usage(parser, "--node takes one state file only");
    const int transports = int(parser.isSet(plugin)) + int(parser.isSet(serial)) + int(parser.isSet(pty));
    if (transports != 1 || parser.isSet(plugin) != parser.isSet(device))
        return usage(parser, "choose one of --plugin with --device, --serial or --pty");
    std::optional<uint8_t> nodeOverride;
    if (parser.isSet(node)) {
        bool ok = false;
        const uint nodeId = parser.value(node).toUInt(&ok);
        if (!ok || nodeId < 1 || nodeId > 127)
            return usage(parser, "the node-ID must be from 1 to 127");
        nodeOverride = uint8_t(nodeId);
    }
    bool rateOk = false;
    const int baud = parser.value(lineRate).toInt(&rateOk);
    if (!rateOk || baud <= 0)
        return usage(parser, "--line-rate needs a positive number");

    SimulatedNodes nodes;
    std::map<uint8_t, QString> byNode;
    // A module told to fail opening answers on a serial line as an adapter in the wrong mode.
    bool refuseOpen = false;
    uint32_t timedLineRate = 0;
    uint32_t busRate = 0;
    for (const QString& statePath : statePaths) {
        OpenFailure failure;
        auto state = module::loadStateFile(statePath, false, QDateTime::currentDateTime(), failure);
        if (!state) {
            std::fprintf(stderr, "korvane-module-sim: %s\n", qPrintable(failure.message));
            return 2;
        }
        refuseOpen = refuseOpen || state->faults.open != module::ModuleFaults::Open::None;
        // One bus has one bit rate: the first module's, with its bus timing.
        if (statePath == statePaths.front()) {
            busRate = module::ModuleNode::startingBitRate(*state);
            nodes.setTiming(module::wireBitRate(*state), std::chrono::microseconds(state->bus.answerLatencyUs));
            timedLineRate = state->bus.wire ? uint32_t(baud) : 0;
        } else if (const uint32_t rate = module::ModuleNode::startingBitRate(*state); rate != busRate) {
            std::fprintf(stderr, "korvane-module-sim: %s starts at %u bit/s, the bus runs at %u bit/s; it is not on the bus\n",
                         qPrintable(statePath), rate, busRate);
            continue;
        }
        auto simulated = std::make_unique<SimulatedNode>(std::move(*state), statePath, nodeOverride, parser.isSet(verbose), nodes.bus());
        simulated->offerBlockUpload(!parser.isSet(noBlock));
        if (const auto [other, added] = byNode.emplace(simulated->nodeId(), statePath); !added) {
            std::fprintf(stderr, "korvane-module-sim: %s and %s both have NodeId %d; each module needs its own\n",
                         qPrintable(other->second), qPrintable(statePath), int(simulated->nodeId()));
            return 2;
        }
        nodes.add(std::move(simulated));
    }

    std::unique_ptr<QObject> port;
    bool started = false;
    if (parser.isSet(plugin)) {
        auto can = std::make_unique<CanBusPort>(nodes, parser.value(plugin), parser.value(device));
        started = can->start();
        port = std::move(can);
    } else {
        auto line = std::make_unique<SerialLinePort>(nodes, refuseOpen, timedLineRate, busRate);
        started = parser.isSet(pty) ? line->startPseudoTerminal() : line->startSerial(parser.value(serial), baud);
        port = std::move(line);
    }
    return started ? app.exec() : 1;
}
