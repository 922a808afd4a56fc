#include "platform/Services.h"

#include <QApplication>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <chrono>
#include <thread>

namespace platform {

namespace {

SystemServices systemServices;
std::atomic<Services*> installedServices{&systemServices};

} // namespace

void SystemServices::Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SystemServices::SleepAfter(std::chrono::steady_clock::time_point since, uint32_t milliseconds)
{
    const auto deadline = since + std::chrono::milliseconds(milliseconds);
#if defined(__linux__)
    // To the deadline on the clock itself (steady_clock is CLOCK_MONOTONIC), so a late start of
    // the sleep does not add to it; also across signals.
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
    const timespec at{time_t(ns / 1000000000), long(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
#else
    std::this_thread::sleep_until(deadline);
#endif
}

void SystemServices::Beep(uint32_t /*frequencyHz*/, uint32_t durationMs)
{
    // Qt has no tone generator: ring the bell and keep the caller waiting as long as the tone would.
    QApplication::beep();
    Sleep(durationMs);
}

QDateTime SystemServices::Now()
{
    return QDateTime::currentDateTime();
}

Services& CurrentServices()
{
    return *installedServices.load();
}

void Sleep(uint32_t milliseconds)
{
    CurrentServices().Sleep(milliseconds);
}

void SleepAfter(std::chrono::steady_clock::time_point since, uint32_t milliseconds)
{
    CurrentServices().SleepAfter(since, milliseconds);
}

void Beep(uint32_t frequencyHz, uint32_t durationMs)
{
    CurrentServices().Beep(frequencyHz, durationMs);
}

QDateTime Now()
{
    return CurrentServices().Now();
}

ScopedServices::ScopedServices(Services& services)
    : previous_(installedServices.exchange(&services))
{
}

ScopedServices::~ScopedServices()
{
    installedServices.store(previous_);
}

} // namespace platform
