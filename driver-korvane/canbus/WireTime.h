// How long frames take on a CAN bus and characters on a serial line, for a simulated bus that
// takes real time.
#pragma once

#include "canbus/CanFrame.h"

#include <algorithm>
#include <chrono>

namespace korvane::wire {

using Clock = std::chrono::steady_clock;

// The bits a classic data frame with an 11-bit identifier occupies on the bus: start of frame to
// CRC with the stuff bits its content needs, then CRC and acknowledge delimiters, end of frame
// and the intermission before the next frame.
int frameBits(const CanFrame& frame);

// A bit rate of 0 stands for a bus whose frames take no time.
std::chrono::nanoseconds frameTime(const CanFrame& frame, uint32_t bitRate);

// Characters as 8N1: ten bits each.
std::chrono::nanoseconds lineTime(int64_t characters, uint32_t lineRate);

// A medium that carries one thing at a time: a CAN bus, one direction of a serial line.
class Schedule {
public:
    // When something that may start at `earliest` and lasts `length` has passed, after what went
    // before it.
    Clock::time_point occupy(Clock::time_point earliest, std::chrono::nanoseconds length)
    {
        freeAt_ = std::max(earliest, freeAt_) + length;
        return freeAt_;
    }

private:
    Clock::time_point freeAt_{};
};

} // namespace korvane::wire
