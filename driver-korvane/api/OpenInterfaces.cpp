#include "api/OpenInterfaces.h"

namespace korvane::api {

OpenInterfaces& OpenInterfaces::instance()
{
    static OpenInterfaces interfaces;
    return interfaces;
}

uint32_t OpenInterfaces::add(std::unique_ptr<Interface> interface)
{
    std::lock_guard lock(mutex_);
    do
        ++lastHandle_;
    while (lastHandle_ == 0 || interfaces_.count(lastHandle_));
    interfaces_[lastHandle_] = std::move(interface);
    return lastHandle_;
}

bool OpenInterfaces::close(uint32_t handle)
{
    std::lock_guard lock(mutex_);
    return interfaces_.erase(handle) == 1;
}

void OpenInterfaces::closeAll()
{
    std::lock_guard lock(mutex_);
    interfaces_.clear();
}

} // namespace korvane::api
