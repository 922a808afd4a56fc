#include "canbus/WireTime.h"

#include <vector>

namespace korvane::wire {

namespace {

// CRC, acknowledge and frame delimiters (1 + 1 + 1 + 7) and the intermission (3): never stuffed.
constexpr int kUnstuffedTail = 13;

void append(std::vector<bool>& bits, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        bits.push_back((value >> i) & 1);
}

uint16_t crc15(const std::vector<bool>& bits)
{
    uint16_t crc = 0;
    for (const bool bit : bits) {
        const bool feedback = bit != bool((crc >> 14) & 1);
        crc = uint16_t((crc << 1) & 0x7FFF);
        if (feedback)
            crc ^= 0x4599;
    }
    return crc;
}

} // namespace

int frameBits(const CanFrame& frame)
{
    const int length = std::min<int>(frame.length, 8);
    std::vector<bool> bits;
    bits.push_back(false); // start of frame
    append(bits, frame.id, 11);
    append(bits, 0, 3); // RTR, IDE, r0: a data frame with a base identifier
    append(bits, uint32_t(length), 4);
    for (int i = 0; i < length; ++i)
        append(bits, frame.data[size_t(i)], 8);
    append(bits, crc15(bits), 15);
    // After five equal bits the sender inserts one of the other value, which counts towards the next run.
    int stuffed = 0, run = 0;
    bool last = true;
    for (const bool bit : bits) {
        run = bit == last ? run + 1 : 1;
        last = bit;
        if (run == 5) {
            ++stuffed;
            last = !bit;
            run = 1;
        }
    }
    return int(bits.size()) + stuffed + kUnstuffedTail;
}

std::chrono::nanoseconds frameTime(const CanFrame& frame, uint32_t bitRate)
{
    return std::chrono::nanoseconds(bitRate ? int64_t(frameBits(frame)) * 1'000'000'000 / bitRate : 0);
}

std::chrono::nanoseconds lineTime(int64_t characters, uint32_t lineRate)
{
    return std::chrono::nanoseconds(characters * 10 * 1'000'000'000 / lineRate);
}

} // namespace korvane::wire
