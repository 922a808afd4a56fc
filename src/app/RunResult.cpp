#include "app/RunResult.h"

#include "app/ExitCode.h"
#include "contract/StandardError.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace runresult {

namespace {

// Read by the terminate handler on whatever thread fails.
std::atomic<const char*> currentStep{nullptr};
std::atomic<bool> printed{false};
std::atomic<bool> failed{false};

// Answers whether it printed.
bool PrintOnce(const char* format, auto value)
{
    if (printed.exchange(true))
        return false;
    std::printf(format, value);
    std::fflush(stdout);
    return true;
}

[[noreturn]] void EndByUncaughtError()
{
    const char* what = "unknown error";
    try {
        if (const std::exception_ptr error = std::current_exception())
            std::rethrow_exception(error);
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
    contract::ReportLine(std::string("unexpected error: ") + what);
    PrintFailed();
    std::_Exit(ExitCodeForEscapedError());
}

}  // namespace

void BeginRun()
{
    printed = false;
    failed = false;
}

void SetStep(const char* step)
{
    currentStep = step;
}

void PrintSucceeded(uint32_t bytes)
{
    PrintOnce("%u Bytes Uploaded\n", unsigned(bytes));
}

bool PrintFailed()
{
    const char* step = currentStep;
    if (step == nullptr)
        return false;
    if (PrintOnce("Upload Failed! (step: %s)\n", step))
        failed = true;
    return true;
}

bool Failed()
{
    return failed;
}

void InstallTerminateHandler()
{
    std::set_terminate(&EndByUncaughtError);
}

}  // namespace runresult
