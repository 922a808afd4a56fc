// CiA 301's objects that every device has or usually has, and its boot-up and heartbeat frames:
// what the simulated module serves and what the library reads to tell which module it is.
#pragma once

#include "canbus/CanFrame.h"

#include <cstdint>

namespace korvane::sdo {

namespace object {
constexpr uint16_t DeviceType = 0x1000;      // u32
constexpr uint16_t ErrorRegister = 0x1001;   // u8
constexpr uint16_t DeviceName = 0x1008;      // visible string
constexpr uint16_t HardwareVersion = 0x1009; // visible string
constexpr uint16_t SoftwareVersion = 0x100A; // visible string
constexpr uint16_t HeartbeatTime = 0x1017;   // u16, ms
constexpr uint16_t Identity = 0x1018;        // record of u32, sub 0 the highest sub-index
} // namespace object

enum IdentitySub : uint8_t { VendorId = 1, ProductCode = 2, Revision = 3, SerialNumber = 4 };

// Boot-up and heartbeat: one byte, the node's state, on 0x700 + node-ID.
constexpr uint32_t heartbeatId(uint8_t node) { return 0x700u + node; }
constexpr uint8_t kBootUp = 0x00;
constexpr uint8_t kPreOperational = 0x7F;

inline CanFrame heartbeatFrame(uint8_t node, uint8_t state)
{
    CanFrame frame;
    frame.id = heartbeatId(node);
    frame.length = 1;
    frame.data[0] = state;
    return frame;
}

} // namespace korvane::sdo
