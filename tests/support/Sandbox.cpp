#include "support/Sandbox.h"

#include "support/ChildProcess.h"

#include <QDir>

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

Sandbox::Sandbox(QString root) : root_(std::move(root))
{
    for (const QString& folder : {configHome(), dataHome(), work()})
        if (!QDir().mkpath(folder))
            throw std::runtime_error("cannot create " + folder.toStdString());
}

std::vector<std::string> Sandbox::childEnvironment() const
{
    std::vector<std::string> environment = environmentWithout(
        {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    environment.push_back("XDG_CONFIG_HOME=" + configHome().toStdString());
    environment.push_back("XDG_DATA_HOME=" + dataHome().toStdString());
    environment.push_back("HOME=" + root_.toStdString());
    return environment;
}

void Sandbox::enter() const
{
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
    qputenv("HOME", root_.toLocal8Bit());
    QDir::setCurrent(work());
}

QString makeTemporaryRoot(const char* prefix)
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + '/' + prefix + ".XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return QString::fromLocal8Bit(pattern);
}

} // namespace testsupport
