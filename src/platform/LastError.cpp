#include "platform/LastError.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#endif

#include <cstring>

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

QString ErrorText(uint32_t code)
{
    return QString::fromLocal8Bit(std::strerror(static_cast<int>(code)));
}

QString FileErrorText(const QString& action, const QString& name)
{
    const QString reason = name.isEmpty() ? QStringLiteral("no file name given") : ErrorText(GetLastError());
    return QStringLiteral("%1 \"%2\": %3").arg(action, name, reason);
}

} // namespace platform
