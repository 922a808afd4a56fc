// The transports an interface can use, one row each: its number in the configuration block, its
// name in interface.ini, the configuration window's label and rows, the block size its adapter
// takes and the factory of its channel. A new adapter adds its channel files and one row.
#pragma once

#include "canbus/CanChannel.h"
#include "config/InterfaceConfig.h"

#include <QStringView>

#include <memory>
#include <span>

namespace korvane::config {

// Rows of the configuration window beyond those every transport has.
enum Row : unsigned {
    PluginRow = 1u << 0,
    CanDeviceRow = 1u << 1,
    SerialPortRow = 1u << 2,
    SerialBaudRow = 1u << 3,
    StateFileRow = 1u << 4,
};

// A new, unopened channel that keeps only node reports (CanFrame.h); nullptr with the reason
// when it cannot even be made.
using ChannelFactory = std::unique_ptr<CanChannel> (*)(const InterfaceConfig& config, OpenFailure& failure);

struct TransportInfo {
    Transport id;
    const char* name;  // in interface.ini
    const char* label; // in the configuration window, translated there
    unsigned rows;
    // USB (0) or RS232 (1) as the adapter's kind makes it; nothing: as configured.
    std::optional<uint32_t> connectionType;
    // Segments per block of a block upload: what the adapter's receive buffer holds.
    uint8_t blockSize;
    ChannelFactory open;
};

std::span<const TransportInfo> transports();

// The row of a transport (Unset: the simulated module's), or nullptr.
const TransportInfo* findTransport(Transport id);
const TransportInfo* findTransport(QStringView name);

} // namespace korvane::config
