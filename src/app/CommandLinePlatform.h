// The window-system platform for a start from the command line or a scheduled job.
#pragma once

// Without a display (on Linux: neither DISPLAY nor WAYLAND_DISPLAY set) the tool starts on Qt's
// offscreen platform instead of aborting, so an unattended run finishes by itself; its message
// boxes then go to standard error. A platform chosen with QT_QPA_PLATFORM is left alone. Call
// before the application object exists.
void UseOffscreenPlatformWithoutDisplay();

// The tool was started without a display and shows its windows to nobody.
bool StartedWithoutDisplay();
