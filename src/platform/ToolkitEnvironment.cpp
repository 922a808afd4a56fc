#include "platform/ToolkitEnvironment.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool showMessages = false;
void (*reportLine)(std::string_view) = nullptr;

void ToolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (showMessages || type == QtFatalMsg)
        reportLine(("toolkit: " + message.toLocal8Bit()).toStdString());
}

bool IsPrivateFolder(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid()
           && (status.st_mode & 0777) == 0700;
}

}  // namespace

void RouteToolkitMessages(bool show, void (*report)(std::string_view line))
{
    showMessages = show;
    reportLine = report;
    qInstallMessageHandler(&ToolkitMessage);
}

void EnsureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray configured = qgetenv("TMPDIR");
    const std::string temporary = configured.startsWith('/') ? configured.toStdString() : std::string("/tmp");
    std::string folder = temporary + "/korvane-runtime-" + std::to_string(::geteuid());
    ::mkdir(folder.c_str(), 0700);
    if (!IsPrivateFolder(folder)) {
        // Somebody else's or a wrong one at that name: one of this run's own.
        std::string pattern = temporary + "/korvane-runtime-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            return;
        folder = pattern;
    }
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

}  // namespace platform
