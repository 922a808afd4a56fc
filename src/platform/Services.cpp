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

FakeServices::FakeServices()
    : installed_(*this)
{
}

void FakeServices::Sleep(uint32_t milliseconds)
{
    std::function<void(uint32_t)> hook;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(milliseconds);
        hook = onSleep_;
    }
    if (hook)
        hook(milliseconds);
}

void FakeServices::Beep(uint32_t frequencyHz, uint32_t durationMs)
{
    std::lock_guard lock(mutex_);
    beeps_.push_back({frequencyHz, durationMs});
}

QDateTime FakeServices::Now()
{
    std::lock_guard lock(mutex_);
    return pinnedNow_ ? *pinnedNow_ : QDateTime::currentDateTime();
}

std::vector<uint32_t> FakeServices::Sleeps() const
{
    std::lock_guard lock(mutex_);
    return sleeps_;
}

std::vector<FakeServices::BeepCall> FakeServices::Beeps() const
{
    std::lock_guard lock(mutex_);
    return beeps_;
}

void FakeServices::PinNow(const QDateTime& now)
{
    std::lock_guard lock(mutex_);
    pinnedNow_ = now;
}

void FakeServices::OnSleep(std::function<void(uint32_t)> hook)
{
    std::lock_guard lock(mutex_);
    onSleep_ = std::move(hook);
}

} // namespace platform
