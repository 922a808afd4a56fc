// A classic CAN frame with an 11-bit identifier, as every bus of the library carries it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace korvane {

struct CanFrame {
    uint32_t id = 0;
    uint8_t length = 0;
    std::array<uint8_t, 8> data{};

    friend bool operator==(const CanFrame&, const CanFrame&) = default;
};

// What the library's channels keep: SDO answers (0x580 + node-ID) and boot-up and heartbeat
// frames (0x700 + node-ID) of any node, so that a scan, and a reason naming the node that does
// answer, can hear them. The SDO client takes only its own node's answers from them.
constexpr bool isNodeReport(uint32_t id)
{
    return (id > 0x580 && id <= 0x5FF) || (id > 0x700 && id <= 0x77F);
}

// "605  40 0C 20 00 00 00 00 00": the identifier, then the data bytes, all in hex.
inline std::string describe(const CanFrame& frame)
{
    char text[40];
    int at = std::snprintf(text, sizeof text, "%03X ", unsigned(frame.id));
    for (int i = 0; i < frame.length && i < 8; ++i)
        at += std::snprintf(text + at, sizeof text - size_t(at), " %02X", frame.data[size_t(i)]);
    return text;
}

} // namespace korvane
