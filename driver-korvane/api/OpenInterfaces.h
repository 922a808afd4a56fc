// The interfaces opened through the C entry points, by handle.
#pragma once

#include "api/Interface.h"

#include <map>
#include <mutex>

namespace korvane::api {

class OpenInterfaces {
public:
    static OpenInterfaces& instance();

    uint32_t add(std::unique_ptr<Interface> interface); // the new, non-zero handle
    // Runs `use` on the interface of `handle`; false for an unknown handle.
    template <typename Use>
    bool with(uint32_t handle, Use&& use)
    {
        std::lock_guard lock(mutex_);
        const auto it = interfaces_.find(handle);
        return it != interfaces_.end() && use(*it->second);
    }
    bool close(uint32_t handle);
    void closeAll();

private:
    std::mutex mutex_;
    std::map<uint32_t, std::unique_ptr<Interface>> interfaces_;
    uint32_t lastHandle_ = 0;
};

} // namespace korvane::api
