#include "simulator/StateFile.h"

#include "simulator/DemoModule.h"
#include "storage/SafeFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace korvane::module {

namespace {

// Far above any memory the module could hold, far below what would exhaust the PC's memory.
constexpr qint64 kMaxStateFile = 256LL * 1024 * 1024;

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
    QByteArray json;
    QString error;
    storage::ReadResult read = storage::readRegularFile(path, kMaxStateFile, json, error);
    if (read == storage::ReadResult::Missing && createFromDemo) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !storage::replaceFile(path, demoModuleState(), error)) {
            failure = {QStringLiteral("cannot create the module state file: ") + error, EACCES};
            return std::nullopt;
        }
        read = storage::readRegularFile(path, kMaxStateFile, json, error);
    }
    if (read != storage::ReadResult::Read) {
        const bool missing = read == storage::ReadResult::Missing;
        failure = {missing ? QStringLiteral("cannot read the module state file %1: it does not exist").arg(path)
                           : QStringLiteral("cannot use the module state file: ") + error,
                   missing ? ENOENT : EACCES};
        return std::nullopt;
    }
    storage::removeLeftovers(path);
    // Moved in: the memory is cut out of these very bytes rather than out of a copy.
    auto state = parseModuleState(std::move(json), now, error);
    if (!state)
        failure = {QStringLiteral("the module state file %1 is malformed: %2").arg(path, error), EINVAL};
    return state;
}

bool saveStateFile(const QString& path, const ModuleState& state, QString& error)
{
    return storage::replaceFile(path, serializeModuleState(state), error);
}

} // namespace korvane::module
