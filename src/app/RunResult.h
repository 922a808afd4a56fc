// The one line an unattended run prints on standard output, exactly once: also when the run ends
// by an error that nothing caught, on any thread.
#pragma once

#include <cstdint>

namespace runresult {

// A new run: nothing printed yet.
void BeginRun();
// The step of the sequence that runs now ("connect", "memory", "configuration", "erase").
void SetStep(const char* step);

// "N Bytes Uploaded".
void PrintSucceeded(uint32_t bytes);
// "Upload Failed! (step: <step>)" unless the run's line is out already. Answers whether a run
// has begun in this process.
bool PrintFailed();

// Whether the run's line said that it failed.
bool Failed();

// An exception that nothing catches, on any thread, ends the process with the result line (during
// a run), its text on standard error and ExitCodeForEscapedError(), instead of an abort.
void InstallTerminateHandler();

}  // namespace runresult
