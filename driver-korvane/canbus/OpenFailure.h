// Why an interface or channel could not be opened or stopped working: the reason in words, and
// the errno-style code OpenInterface leaves as the thread's last-error code.
#pragma once

#include <QString>

namespace korvane {

struct OpenFailure {
    QString message;
    int errorCode = 0;
};

} // namespace korvane
