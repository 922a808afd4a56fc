#include "platform/LastError.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#endif

namespace platform {

uint32_t GetLastError()
{
#if defined(_WIN32)
    return ::GetLastError();
#else
    return static_cast<uint32_t>(errno);
#endif
}

void SetLastError(uint32_t code)
{
#if defined(_WIN32)
    ::SetLastError(code);
#else
    errno = static_cast<int>(code);
#endif
}

} // namespace platform
