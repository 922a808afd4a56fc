// Why an interface could not be opened: a message for standard error, and the errno-style code
// OpenInterface leaves as the thread's last-error code.
#pragma once

#include <QString>

namespace korvane {

struct OpenFailure {
    QString message;
    int errorCode = 0;
};

} // namespace korvane
