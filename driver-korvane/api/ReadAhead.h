// The memory block read ahead of the tool, on a thread of its own: one read at a time, started
// by the interface and taken by it. When the tool is already waiting for a read that delivers
// data, the next read follows on that thread at once, without a hand-over between threads on the
// way: on a bus slower than the tool's pacing the reads then follow each other back to back.
#pragma once

#include "sdo/SdoResult.h"
#include "sdo/SdoProtocol.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace korvane::api {

struct Upload {
    sdo::Result result;
    sdo::Bytes bytes;
    bool delivered() const { return result.ok() && !bytes.empty(); }
};

class ReadAhead {
public:
    explicit ReadAhead(std::function<Upload()> read) : read_(std::move(read)) {}
    ~ReadAhead(); // waits for a read under way
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Begins the next read unless one is under way; false when no thread could be had.
    bool start();
    // Waits for the read under way, if any, and hands it over. `continuing`: the caller is the
    // tool's read of the block, so a read that delivers data is followed by the next at once.
    std::optional<Upload> take(bool continuing);

private:
    void run();

    std::function<Upload()> read_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool go_ = false;        // a read is asked for or under way
    bool wanted_ = false;    // the tool waits for the read under way
    bool stopping_ = false;
    std::optional<Upload> done_;
    std::thread thread_; // started with the first read, so an interface without a read-out has none
};

} // namespace korvane::api
