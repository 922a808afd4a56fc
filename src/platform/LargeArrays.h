// Memory for arrays of tens of megabytes, taken from the system in 2 MiB pages where it allows:
// the first touch of each 4 KiB page costs about a microsecond and a half, which for the index of
// a large memory file is more than reading the file.
#pragma once

#include <cstddef>

namespace platform {

void* AllocateLarge(std::size_t bytes);            // throws std::bad_alloc
void FreeLarge(void* at, std::size_t bytes) noexcept;  // `bytes` as allocated

template <typename T>
struct LargeArrayAllocator
{
    using value_type = T;

    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
    void deallocate(T* at, std::size_t count) noexcept { FreeLarge(at, count * sizeof(T)); }

    template <typename U>
    bool operator==(const LargeArrayAllocator<U>&) const noexcept
    {
        return true;
    }
};

}  // namespace platform
