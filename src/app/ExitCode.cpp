#include "app/ExitCode.h"

int ExitCodeForBytesUploaded(uint32_t bytesUploaded)
{
    return bytesUploaded > uint32_t(LargestCountExitCode) ? LargestCountExitCode : int(bytesUploaded);
}
