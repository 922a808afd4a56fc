#include "support/FakeServices.h"

namespace platform {

FakeServices::FakeServices()
    : installed_(*this)
{
}

void FakeServices::Sleep(uint32_t milliseconds)
{
    std::function<void(uint32_t)> hook;
    bool real = false;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(milliseconds);
        hook = onSleep_;
        real = runningFrom_.has_value();
    }
    if (real)
        SystemServices().Sleep(milliseconds);
    if (hook)
        hook(milliseconds);
}

void FakeServices::SleepAfter(std::chrono::steady_clock::time_point /*since*/, uint32_t milliseconds)
{
    Sleep(milliseconds);
}

void FakeServices::Beep(uint32_t frequencyHz, uint32_t durationMs)
{
    std::lock_guard lock(mutex_);
    beeps_.push_back({frequencyHz, durationMs});
}

QDateTime FakeServices::Now()
{
    std::lock_guard lock(mutex_);
    if (runningFrom_)
        return runningFrom_->addMSecs(running_.elapsed());
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
    runningFrom_.reset();
}

void FakeServices::RunClockFrom(const QDateTime& start)
{
    std::lock_guard lock(mutex_);
    runningFrom_ = start;
    running_.start();
}

void FakeServices::OnSleep(std::function<void(uint32_t)> hook)
{
    std::lock_guard lock(mutex_);
    onSleep_ = std::move(hook);
}

} // namespace platform
