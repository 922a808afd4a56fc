// The scan's active phase: 127 device-type requests to the built-in module on a bus that takes
// real time at 250 kbit/s, and the answers collected after them, against the target of 1 s.
#include "Measurements.h"

#include "sdo/BusScan.h"
#include "simulator/ModuleParameters.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/StateFile.h"
#include "support/ModuleFiles.h"

#include <chrono>

namespace bench {

void measureScan(BenchRun& run)
{
    constexpr uint32_t kBitRate = 250000;
    korvane::module::ModuleState state = testsupport::blankModule();
    state.settings[korvane::module::Baud] = kBitRate;
    state.bus = {true, 200};
    const QString path = run.sandbox.work() + QStringLiteral("/scan-module.json");
    QString error;
    korvane::module::SimulatedChannel channel(path, kBitRate);
    if (!korvane::module::saveStateFile(path, state, error) || !channel.open()) {
        run.table.note(QStringLiteral("Scan: the module could not be started: ") + error + channel.error().message);
        return;
    }
    korvane::sdo::ScanSettings settings;
    settings.listen = std::chrono::milliseconds(0); // the active phase alone
    settings.frameGap = korvane::sdo::frameTime(kBitRate);
    const auto start = std::chrono::steady_clock::now();
    const auto found = korvane::sdo::scanBus(channel, settings, error);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!found || found->size() != 1) {
        run.table.note(QStringLiteral("Scan: the module was not found: ") + error);
        return;
    }
    run.table.add({QStringLiteral("Scan of node-IDs 1-127 (active phase, %1 ms answer window, one module's identity), "
                                  "timed built-in bus at 250 kbit/s")
                       .arg(settings.answerWindow.count()),
                   formatSeconds(took.count()), QStringLiteral("target 1.0 s"), took.count() / 1.0});
}

} // namespace bench
