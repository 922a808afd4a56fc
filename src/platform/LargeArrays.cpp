#include "platform/LargeArrays.h"

#include <cstdint>
#include <new>

#include <sys/mman.h>

namespace platform {

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;
// Below this the heap serves: a huge page half used is no gain.
constexpr std::size_t Threshold = std::size_t(4) << 20;

std::size_t Rounded(std::size_t bytes)
{
    return (bytes + HugePage - 1) / HugePage * HugePage;
}

}  // namespace

void* AllocateLarge(std::size_t bytes)
{
    if (bytes < Threshold)
        return ::operator new(bytes);
    const std::size_t length = Rounded(bytes);
    // A huge page needs an address on its boundary: map one page more and give back what is around it.
    void* mapped = ::mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto begin = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (begin + HugePage - 1) / HugePage * HugePage;
    if (aligned > begin)
        ::munmap(mapped, aligned - begin);
    if (const std::size_t after = begin + HugePage - aligned; after > 0)
        ::munmap(reinterpret_cast<void*>(aligned + length), after);
    // Without transparent huge pages this fails and the array is in small pages, as from the heap.
    ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* at, std::size_t bytes) noexcept
{
    if (bytes < Threshold)
        ::operator delete(at);
    else
        ::munmap(at, Rounded(bytes));
}

}  // namespace platform
