// What a whole read-out needs on a bus that takes real time: the frames the tool's exchanges make
// (arming, the length, every block and the empty one), each taking its time on the wire as the
// timed bus has it, and behind a serial-line adapter also its line's time on the line, with the
// tool answering at once. The physical bound of a read-out, beside the tool's pacing.
#pragma once

#include "simulator/ModuleState.h"

#include <cstdint>

namespace bench {

// Seconds; `blockSize` segments per block of the transport, `lineRate` 0 on a CAN bus.
double readoutWireSeconds(const korvane::module::ModuleState& state, uint8_t blockSize, uint32_t lineRate);

} // namespace bench
