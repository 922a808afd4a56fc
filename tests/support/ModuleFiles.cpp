#include "support/ModuleFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace testsupport {

using korvane::module::ModuleState;

namespace {

// Where the driver library keeps the interface configuration of the tool's registry path
// "\Software\Velmora\CANopen Quillfen App\" under a given configuration folder.
QString interfaceIni(const Sandbox& sandbox)
{
    return sandbox.configHome() + QStringLiteral("/Velmora/CANopen Quillfen App/interface.ini");
}

} // namespace

ModuleState blankModule()
{
    QString error;
    auto state = korvane::module::parseModuleState("{}", QDateTime::currentDateTime(), error);
    if (!state)
        throw std::runtime_error("the library refuses an empty module state: " + error.toStdString());
    return *state;
}

QString statePath(const Sandbox& sandbox)
{
    return sandbox.dataHome() + QStringLiteral("/module-state.json");
}

void installModule(const Sandbox& sandbox, const ModuleState& state, korvane::config::InterfaceConfig config)
{
    writeFile(statePath(sandbox), korvane::module::serializeModuleState(state));
    config.moduleState = statePath(sandbox);
    const QString ini = interfaceIni(sandbox);
    QString error;
    if (!QDir().mkpath(QFileInfo(ini).absolutePath()) || !korvane::config::writeConfigFile(ini, config, error))
        throw std::runtime_error("cannot write the interface configuration: " + error.toStdString());
}

std::optional<ModuleState> readModule(const Sandbox& sandbox)
{
    const auto json = readFile(statePath(sandbox));
    if (!json)
        return std::nullopt;
    QString error;
    return korvane::module::parseModuleState(*json, QDateTime::currentDateTime(), error);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
}

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace testsupport
