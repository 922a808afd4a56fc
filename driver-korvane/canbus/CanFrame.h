// A classic CAN frame with an 11-bit identifier, as every bus of the library carries it.
#pragma once

#include <array>
#include <cstdint>

namespace korvane {

struct CanFrame {
    uint32_t id = 0;
    uint8_t length = 0;
    std::array<uint8_t, 8> data{};

    friend bool operator==(const CanFrame&, const CanFrame&) = default;
};

} // namespace korvane
