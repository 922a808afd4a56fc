#include "platform/Services.h"

#include <QApplication>

#include <atomic>
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
