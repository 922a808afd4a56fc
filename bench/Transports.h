// The transports a measurement reaches the module over: the driver library's built-in simulated
// module, and the module simulator as a process of its own on a virtualcan bus and behind a
// serial-line adapter on a pseudo-terminal. Each comes with the round trip of one bare frame on
// that transport, the reference of the SDO latencies.
#pragma once

#include "Measurements.h"
#include "support/ChildProcess.h"
#include "config/InterfaceConfig.h"
#include "simulator/ModuleState.h"

#include <memory>
#include <optional>
#include <vector>

namespace bench {

enum class TransportKind { Simulated, VirtualCan, SerialLine };
inline constexpr TransportKind kTransports[] = {TransportKind::Simulated, TransportKind::VirtualCan,
                                                TransportKind::SerialLine};

QString transportName(TransportKind kind);

// The module in place behind a transport, with its peer running until this is destroyed.
struct TransportPeer {
    korvane::config::InterfaceConfig config;
    std::unique_ptr<testsupport::ChildProcess> simulator;
};

// Writes the state file and interface.ini for `kind`, starting the simulator where one is needed.
// Nothing, with a note in the table, when the peer does not come up.
std::optional<TransportPeer> openTransport(BenchRun& run, TransportKind kind, const korvane::module::ModuleState& state);

// Seconds of each of `count` round trips of one 8-byte frame on a transport of that kind; empty
// when the transport cannot carry them.
std::vector<double> frameRoundTrips(TransportKind kind, int count);

} // namespace bench
