#pragma once

#include "platform/Services.h"

#include <QElapsedTimer>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

// Test services, installed for their lifetime: Sleep and SleepAfter return at once and record the
// milliseconds asked for,
// Beep only records, and the clock can be pinned or set running. Usable from worker threads.
class FakeServices final : public Services {
public:
    struct BeepCall {
        uint32_t frequencyHz;
        uint32_t durationMs;
        bool operator==(const BeepCall&) const = default;
    };

    FakeServices();

    void Sleep(uint32_t milliseconds) override;
    void SleepAfter(std::chrono::steady_clock::time_point since, uint32_t milliseconds) override;
    void Beep(uint32_t frequencyHz, uint32_t durationMs) override;
    QDateTime Now() override;

    std::vector<uint32_t> Sleeps() const;
    std::vector<BeepCall> Beeps() const;
    void PinNow(const QDateTime& now);
    // From now on the clock runs in real time from `start`, and Sleep really waits.
    void RunClockFrom(const QDateTime& start);
    // Runs inside every Sleep, on the sleeping thread, before it returns.
    void OnSleep(std::function<void(uint32_t milliseconds)> hook);

private:
    mutable std::mutex mutex_;
    std::vector<uint32_t> sleeps_;
    std::vector<BeepCall> beeps_;
    std::optional<QDateTime> pinnedNow_;
    std::optional<QDateTime> runningFrom_;
    QElapsedTimer running_;
    std::function<void(uint32_t)> onSleep_;
    ScopedServices installed_;
};

} // namespace platform
