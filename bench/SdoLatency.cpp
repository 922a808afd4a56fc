// Latency of single SDO exchanges as the tool makes them: through the driver binding and the
// loaded driver library, one parameter read at a time, on each transport. The reference is the
// round trip of one bare frame on the same transport, so a ratio reads as "frame round trips per
// exchange".
#include "Measurements.h"

#include "Transports.h"
#include "support/ModuleFiles.h"
#include "common/Statistics.h"
#include "driver/DriverBinding.h"
#include "simulator/ModuleParameters.h"

#include <chrono>
#include <functional>

namespace bench {

namespace {

constexpr int kWarmUp = 200;
constexpr int kSamples = 3000;

using Clock = std::chrono::steady_clock;

std::vector<double> timeEach(int count, const std::function<bool()>& exchange, bool& failed)
{
    std::vector<double> samples;
    samples.reserve(size_t(count));
    for (int i = 0; i < kWarmUp + count; ++i) {
        const auto start = Clock::now();
        if (!exchange())
            failed = true;
        const std::chrono::duration<double> took = Clock::now() - start;
        if (i >= kWarmUp)
            samples.push_back(took.count());
    }
    return samples;
}

struct Exchange {
    const char* name;
    std::function<bool(driver::DriverBinding&)> run;
};

const Exchange kExchanges[] = {
    {"u8", [](driver::DriverBinding& binding) {
         uint8_t value = 0;
         return binding.Parameter_Get_USIGN8(korvane::module::NodeId, value) != 0;
     }},
    {"u32", [](driver::DriverBinding& binding) {
         uint32_t value = 0;
         return binding.Parameter_Get_USIGN32(korvane::module::Baud, value) != 0;
     }},
    {"255-byte array", [](driver::DriverBinding& binding) {
         uint8_t count = 0;
         driver::ParameterBuffer buffer{};
         return binding.Parameter_Get_ARRAY(korvane::module::ConfigurationData, count, buffer) != 0 && count == 255;
     }},
};

void exchangeLatencies(BenchRun& run, TransportKind kind)
{
    const QString transport = transportName(kind);
    const std::vector<double> frames = frameRoundTrips(kind, kSamples);
    if (frames.empty()) {
        run.table.note(QStringLiteral("SDO latency over %1: no frame round trip for the reference").arg(transport));
        return;
    }
    korvane::module::ModuleState state = testsupport::blankModule();
    state.configuration = QByteArray(255, 'c'); // the longest array the tool reads
    const auto peer = openTransport(run, kind, state);
    if (!peer)
        return;
    driver::DriverBinding binding;
    binding.ReadConfiguration(driver::ConfigurationRegistryPath);
    if (binding.OpenInterface() == 0) {
        run.table.note(QStringLiteral("SDO latency over %1: the interface could not be opened").arg(transport));
        return;
    }
    const double frameMedian = median(frames);
    const double frameP99 = percentile(frames, 0.99);
    for (const Exchange& exchange : kExchanges) {
        bool failed = false;
        const auto samples = timeEach(kSamples, [&] { return exchange.run(binding); }, failed);
        if (failed) {
            run.table.note(QStringLiteral("SDO latency over %1: a %2 read failed").arg(transport, QLatin1String(exchange.name)));
            continue;
        }
        const QString what = QStringLiteral("SDO %1 read, %2").arg(QLatin1String(exchange.name), transport);
        run.table.add({what + QStringLiteral(", median"), formatSeconds(median(samples)),
                       QStringLiteral("frame round trip median %1").arg(formatSeconds(frameMedian)),
                       median(samples) / frameMedian});
        run.table.add({what + QStringLiteral(", p99"), formatSeconds(percentile(samples, 0.99)),
                       QStringLiteral("frame round trip p99 %1").arg(formatSeconds(frameP99)),
                       percentile(samples, 0.99) / frameP99});
    }
}

} // namespace

void measureSdoLatency(BenchRun& run)
{
    for (TransportKind kind : kTransports)
        exchangeLatencies(run, kind);
}

} // namespace bench
