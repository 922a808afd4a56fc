// The process exit code. A POSIX process can return only 0 to 255: the byte count of the last
// upload is capped at 254, and 255 says that an error escaped.
#pragma once

#include <cstdint>

inline constexpr int EscapedErrorExitCode = 255;
inline constexpr int LargestCountExitCode = 254;

int ExitCodeForBytesUploaded(uint32_t bytesUploaded);
