// The module the library starts with when the user has none: a CAN data logger holding a few
// hundred time-stamped records.
#pragma once

#include <QByteArray>

namespace korvane::module {

// The demo module's state file, in the state file's JSON form.
QByteArray demoModuleState();

} // namespace korvane::module
