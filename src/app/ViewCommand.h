// "korvane --view MEMORY-FILE": the viewer of a memory file's uploads and records in a window of
// its own, without a module; the process ends when the window is closed.
#pragma once

class QString;

// Answers the exit code: 0 once the window was closed; 2 without a display.
int ViewMemoryFile(const QString& memoryFile);
