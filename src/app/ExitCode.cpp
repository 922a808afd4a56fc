#include "app/ExitCode.h"

#include <atomic>

namespace {
// Read by the terminate handler on whatever thread fails.
std::atomic<bool> conventional{false};
constexpr int FailureExitCode = 1;
}  // namespace

int ExitCodeForBytesUploaded(uint32_t bytesUploaded)
{
    return bytesUploaded > uint32_t(LargestCountExitCode) ? LargestCountExitCode : int(bytesUploaded);
}

void UseConventionalExitStatuses()
{
    conventional = true;
}

int ExitCodeForRun(uint32_t bytesUploaded, bool failed)
{
    if (conventional)
        return failed ? FailureExitCode : 0;
    return ExitCodeForBytesUploaded(bytesUploaded);
}

int ExitCodeForEscapedError()
{
    return conventional ? FailureExitCode : EscapedErrorExitCode;
}
