// The calling thread's last-error code: errno on POSIX, the Win32 last error on Windows.
#pragma once

#include <QString>

#include <cstdint>

namespace platform {

uint32_t GetLastError();
void SetLastError(uint32_t code);

// The system's text for a last-error code ("No such file or directory").
QString ErrorText(uint32_t code);

// "<action> "<name>": <the system's reason>" for a file operation that has just failed.
QString FileErrorText(const QString& action, const QString& name);

} // namespace platform
