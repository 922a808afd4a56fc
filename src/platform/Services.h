// System services the application waits on or reads: sleeping, beeping and the local clock.
// Everything goes through one replaceable object so tests can run waits in no time and pin the date.
#pragma once

#include <QDateTime>

#include <chrono>
#include <cstdint>

namespace platform {

class Services {
public:
    virtual ~Services() = default;
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Sleeps until `milliseconds` after `since` (at once when that has passed).
    virtual void SleepAfter(std::chrono::steady_clock::time_point since, uint32_t milliseconds) = 0;
    virtual void Beep(uint32_t frequencyHz, uint32_t durationMs) = 0;
    virtual QDateTime Now() = 0;
};

// The real services. Beep rings the system bell (no tone generator on Linux) and lasts durationMs.
class SystemServices final : public Services {
public:
    void Sleep(uint32_t milliseconds) override;
    void SleepAfter(std::chrono::steady_clock::time_point since, uint32_t milliseconds) override;
    void Beep(uint32_t frequencyHz, uint32_t durationMs) override;
    QDateTime Now() override;
};

// The installed services (SystemServices unless a ScopedServices is alive). Safe from any thread.
Services& CurrentServices();

void Sleep(uint32_t milliseconds);
void SleepAfter(std::chrono::steady_clock::time_point since, uint32_t milliseconds);
void Beep(uint32_t frequencyHz, uint32_t durationMs);
QDateTime Now();

// Installs services for its lifetime and puts the previous ones back afterwards.
class ScopedServices {
public:
    explicit ScopedServices(Services& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services* previous_;
};

} // namespace platform
