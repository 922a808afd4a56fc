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
