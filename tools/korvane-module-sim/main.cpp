// korvane-module-sim: the simulated module, with the same state file and behaviour as the driver
// library's built-in one, as an SDO server on a CAN bus or behind a serial-line CAN adapter.
#include "Ports.h"
#include "SimulatedNode.h"

#include "simulator/ModuleParameters.h"
#include "simulator/StateFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The simulated Korvane module as a CANopen SDO server. Prints one line on standard output\n"
        "once it serves: the CAN device, the serial port, or the pseudo-terminal to connect to."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("STATE"), QStringLiteral("The module state file (JSON)."));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Qt CAN plugin (virtualcan, socketcan, ...)."), QStringLiteral("NAME"));
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("CAN device of the plugin (can0, ...)."), QStringLiteral("NAME"));
    const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("Serve as a serial CAN adapter on this port."), QStringLiteral("PATH"));
    const QCommandLineOption lineRate(QStringLiteral("line-rate"), QStringLiteral("Serial line rate (default 115200)."), QStringLiteral("BAUD"), QStringLiteral("115200"));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("Serve as a serial CAN adapter on a new pseudo-terminal."));
    const QCommandLineOption node(QStringLiteral("node"), QStringLiteral("Node-ID to answer on (default: the state's NodeId)."), QStringLiteral("ID"));
    const QCommandLineOption noBlock(QStringLiteral("no-block"), QStringLiteral("Offer no SDO block upload."));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")}, QStringLiteral("Log every SDO frame on standard error."));
    parser.addOptions({plugin, device, serial, lineRate, pty, node, noBlock, verbose});
    parser.process(app);

    if (parser.positionalArguments().size() != 1)
        return usage(parser, "give exactly one state file");
    const int transports = int(parser.isSet(plugin)) + int(parser.isSet(serial)) + int(parser.isSet(pty));
    if (transports != 1 || parser.isSet(plugin) != parser.isSet(device))
        return usage(parser, "choose one of --plugin with --device, --serial or --pty");

    const QString statePath = parser.positionalArguments().front();
    OpenFailure failure;
    auto state = module::loadStateFile(statePath, false, QDateTime::currentDateTime(), failure);
    if (!state) {
        std::fprintf(stderr, "korvane-module-sim: %s\n", qPrintable(failure.message));
        return 2;
    }
    uint32_t nodeId = state->settings.at(module::NodeId);
    if (parser.isSet(node)) {
        bool ok = false;
        nodeId = parser.value(node).toUInt(&ok);
        if (!ok)
            nodeId = 0;
    }
    if (nodeId < 1 || nodeId > 127)
        return usage(parser, "the node-ID must be from 1 to 127");
    bool rateOk = false;
    const int baud = parser.value(lineRate).toInt(&rateOk);
    if (!rateOk || baud <= 0)
        return usage(parser, "--line-rate needs a positive number");

    // A module told to fail opening answers on a serial line as an adapter in the wrong mode.
    const bool refuseOpen = state->faults.open != module::ModuleFaults::Open::None;
    SimulatedNode simulated(std::move(*state), statePath, uint8_t(nodeId), parser.isSet(verbose));
    simulated.offerBlockUpload(!parser.isSet(noBlock));

    std::unique_ptr<QObject> port;
    bool started = false;
    if (parser.isSet(plugin)) {
        auto can = std::make_unique<CanBusPort>(simulated, parser.value(plugin), parser.value(device));
        started = can->start();
        port = std::move(can);
    } else {
        auto line = std::make_unique<SerialLinePort>(simulated, refuseOpen);
        started = parser.isSet(pty) ? line->startPseudoTerminal() : line->startSerial(parser.value(serial), baud);
        port = std::move(line);
    }
    return started ? app.exec() : 1;
}
