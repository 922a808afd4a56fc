#include "app/CommandLinePlatform.h"

#include <QByteArray>
#include <QtGlobal>

namespace {
bool withoutDisplay = false;
}

void UseOffscreenPlatformWithoutDisplay()
{
#if defined(Q_OS_LINUX)
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        withoutDisplay = true;
    }
#endif
}

bool StartedWithoutDisplay()
{
    return withoutDisplay;
}
