#include "simulator/StateFile.h"

#include "simulator/DemoModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace korvane::module {

namespace {

bool writeAtomically(const QString& path, const QByteArray& bytes, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

QString defaultStateFile()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Velmora/CANopen Quillfen App/module-state.json");
}

std::optional<ModuleState> loadStateFile(const QString& path, bool createFromDemo, const QDateTime& now,
                                         OpenFailure& failure)
{
    if (createFromDemo && !QFileInfo::exists(path)) {
        QString error;
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !writeAtomically(path, demoModuleState(), error)) {
            failure = {QStringLiteral("Korvane: cannot create the module state file %1").arg(path), EACCES};
            return std::nullopt;
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const int code = file.exists() ? EACCES : ENOENT;
        failure = {QStringLiteral("Korvane: cannot read the module state file %1: %2").arg(path, file.errorString()), code};
        return std::nullopt;
    }
    QString error;
    auto state = parseModuleState(file.readAll(), now, error);
    if (!state)
        failure = {QStringLiteral("Korvane: the module state file %1 is malformed: %2").arg(path, error), EINVAL};
    return state;
}

bool saveStateFile(const QString& path, const ModuleState& state, QString& error)
{
    return writeAtomically(path, serializeModuleState(state), error);
}

} // namespace korvane::module
