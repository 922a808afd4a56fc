// Finding the modules on a bus without knowing their node-IDs: listen for boot-up and heartbeat
// frames first, then ask every node-ID 1-127 for its device type (0x1000), paced at one frame
// time and never more than `depth` requests ahead of the bus, waiting and asking again when the
// adapter says its transmit queue is full, and collect answers until `answerWindow` after the
// last request; then read the identity of each node that answered. A node counts only on a frame from 0x580 + its
// node-ID that echoes the request (an upload answer or an abort of 0x1000:00), so neither other
// traffic nor a late answer of one node is ever taken for another. It sends no NMT or LSS command.
#pragma once

#include "canbus/CanChannel.h"

#include <QString>

#include <chrono>
#include <optional>
#include <vector>

namespace korvane::sdo {

struct FoundModule {
    uint8_t node = 0;
    std::optional<uint32_t> deviceType; // nothing: the node aborted the read of 0x1000
    std::optional<uint32_t> vendorId, productCode, revision, serialNumber;
    QString deviceName;
    bool heard = false; // its boot-up or heartbeat came during the listening
};

struct ScanSettings {
    std::chrono::milliseconds listen{1500};
    std::chrono::milliseconds answerWindow{300}; // answers still taken after the last request
    size_t depth = 8;                            // frames the adapter's transmit queue holds
    std::chrono::microseconds frameGap{0};       // the time the bus takes for one request
    std::chrono::milliseconds identityTimeout{300};
};

// The modules found, by node-ID; nothing, with the channel's reason in `error`, when the adapter
// went away.
std::optional<std::vector<FoundModule>> scanBus(CanChannel& channel, const ScanSettings& settings, QString& error);

// One frame time at `bitrate` in the worst case (135 bits): the gap between two requests.
std::chrono::microseconds frameTime(uint32_t bitrate);

} // namespace korvane::sdo
