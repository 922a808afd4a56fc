// The process exit code. A POSIX process can return only 0 to 255: the byte count of the last
// upload is capped at 254, and 255 says that an error escaped. A command line in GNU style asks
// for the conventional statuses instead: 0 success, 1 failure (an escaped error too), 2 wrong
// usage or no display.
#pragma once

#include <cstdint>

inline constexpr int EscapedErrorExitCode = 255;
inline constexpr int LargestCountExitCode = 254;
inline constexpr int UsageExitCode = 2;

int ExitCodeForBytesUploaded(uint32_t bytesUploaded);

void UseConventionalExitStatuses();

// failed: the run's result line said that it failed.
int ExitCodeForRun(uint32_t bytesUploaded, bool failed);
int ExitCodeForEscapedError();
