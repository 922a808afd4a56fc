#include "api/ReadAhead.h"

#include <system_error>

namespace korvane::api {

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool ReadAhead::start()
{
    std::lock_guard lock(mutex_);
    if (go_)
        return true;
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            return false;
        }
    }
    go_ = true;
    changed_.notify_all();
    return true;
}

std::optional<Upload> ReadAhead::take(bool continuing)
{
    std::unique_lock lock(mutex_);
    if (!go_ && !done_)
        return std::nullopt;
    wanted_ = continuing;
    changed_.wait(lock, [this] { return done_.has_value(); });
    wanted_ = false;
    std::optional<Upload> read = std::move(done_);
    done_.reset();
    changed_.notify_all(); // a read that followed at once may wait to hand its block over
    return read;
}

void ReadAhead::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return go_ || stopping_; });
        if (!go_)
            return;
        lock.unlock();
        Upload read = read_();
        lock.lock();
        changed_.wait(lock, [this] { return !done_ || stopping_; }); // the one before is taken
        // The tool already waits for this one, which it takes now: the next follows at once.
        go_ = wanted_ && read.delivered() && !stopping_;
        done_ = std::move(read);
        changed_.notify_all();
    }
}

} // namespace korvane::api
