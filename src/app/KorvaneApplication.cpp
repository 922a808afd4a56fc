#include "app/KorvaneApplication.h"

#include "app/DeferredIconStyle.h"
#include "app/ExitCode.h"
#include "app/RunResult.h"
#include "contract/StandardError.h"
#include "platform/MessageBox.h"

#include <QIcon>


ToolkitArguments::ToolkitArguments(const char* program, const std::string& platform) : words{program}
{
    if (!platform.empty())
        words.insert(words.end(), {"-platform", platform});
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    count = int(words.size());
}

KorvaneApplication::KorvaneApplication(const char* program, const std::string& platform)
    : ToolkitArguments(program, platform), QApplication(count, pointers.data())
{
    setApplicationName(QStringLiteral("Korvane"));
    // The launcher's entry and icon: the window class is "Korvane", the Wayland app id the entry's.
    setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("korvane")));
    setStyle(new DeferredIconStyle(style()));
}

bool KorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(error);
        exit(EscapedErrorExitCode);
    }
    return false;
}

void KorvaneApplication::ReportError(const std::exception& error)
{
    contract::ReportLine(error.what());
    if (runresult::PrintFailed())
        return;
    platform::MessageBox(QString::fromLocal8Bit(error.what()), applicationName(), platform::MessageBoxButtons::OK);
}
