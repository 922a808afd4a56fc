#include "app/KorvaneApplication.h"

#include "app/ExitCode.h"
#include "platform/MessageBox.h"

#include <cstdio>

KorvaneApplication::KorvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Korvane"));
}

bool KorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        errorEscaped_ = true;
        ReportError(error);
        exit(EscapedErrorExitCode);
    }
    return false;
}

void KorvaneApplication::ReportError(const std::exception& error)
{
    std::fprintf(stderr, "Korvane: %s\n", error.what());
    platform::MessageBox(QString::fromLocal8Bit(error.what()), applicationName(), platform::MessageBoxButtons::OK);
}
