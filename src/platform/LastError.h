// The calling thread's last-error code: errno on POSIX, the Win32 last error on Windows.
#pragma once

#include <cstdint>

namespace platform {

uint32_t GetLastError();
void SetLastError(uint32_t code);

} // namespace platform
