// "korvane --scan": the modules on the configured interface's bus, as CSV on standard output.
#pragma once

// Answers the exit code: 0 when a module answered, 1 when none did, 2 when the interface cannot
// be opened (the reason on standard error).
int ScanBus();
