// The window-system platform, chosen before the application object exists: a display that cannot
// be opened (a stale DISPLAY in a scheduled job or an ssh session) must never abort the process.
#pragma once

#include <string>

namespace platform {

struct DisplayChoice {
    // The toolkit's "-platform" value: empty for its own choice, which then works; otherwise a
    // list that ends in "offscreen", so a platform that fails to start falls back to no display.
    std::string platform;
    // Why the tool may end up without a display, for the user.
    std::string whyNone;
};

// Reads DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM and tries the X display.
DisplayChoice ChooseDisplay();

// The running application shows its windows to somebody: not the "offscreen" or "minimal"
// platform, and a QApplication exists.
bool HasDisplay();

} // namespace platform
