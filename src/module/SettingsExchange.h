// The exchange of the ten settings with the module, apart from the window: the Settings page,
// settings profiles and unattended runs all read and store through these.
#pragma once

#include "contract/ModuleParameters.h"

#include <QString>

namespace driver {
class DriverBinding;
}

namespace settingsexchange {

// Reads the ten settings in their order into `settings`, each as it arrives; stops at the first
// of the nine that fails (false). DeviceMode reads as 0 from a module that does not answer it.
bool Read(driver::DriverBinding& binding, driver::ModuleSettings& settings);

struct StoreOutcome {
    bool stored = false;          // the first nine were all written
    bool deviceModeTaken = false; // and so was DeviceMode
};

// Writes the ten settings in their order, each only after the nine before it succeeded.
StoreOutcome Store(driver::DriverBinding& binding, const driver::ModuleSettings& settings);

// Reads the settings back after a store: which the module did not keep, in words; empty when it
// kept every one it took.
QString Unkept(driver::DriverBinding& binding, const driver::ModuleSettings& sent, bool deviceModeTaken);

} // namespace settingsexchange
