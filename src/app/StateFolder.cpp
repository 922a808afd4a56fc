#include "app/StateFolder.h"

#include <QDir>

QString StateFolder()
{
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = QDir::isAbsolutePath(configured) ? configured : QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/korvane");
}
