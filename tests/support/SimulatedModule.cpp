#include "support/SimulatedModule.h"

#include "config/InterfaceConfig.h"
#include "simulator/ModuleClock.h"
#include "simulator/ModuleParameters.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <gtest/gtest.h>

#include <atomic>

namespace testsupport {

namespace {

QString newStatePath()
{
    static std::atomic<int> counter{0};
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    QDir().mkpath(base + QStringLiteral("/korvane-tests"));
    return base + QStringLiteral("/korvane-tests/module-state-%1.json").arg(++counter);
}

} // namespace

SimulatedModule::SimulatedModule(const QByteArray& state, int connectionType)
    : statePath_(newStatePath())
    , iniPath_(korvane::config::configFileFor(QString::fromLatin1(registryPath())))
    , connectionType_(connectionType)
{
    setState(state);
    const QJsonObject settings = QJsonDocument::fromJson(state).object()[QLatin1String("settings")].toObject();
    const int node = settings[QLatin1String("NodeId")].toInt();
    const korvane::config::InterfaceConfig defaults;
    node_ = node >= 1 && node <= 127 ? uint32_t(node) : defaults.nodeId;
    bitrate_ = settings.contains(QLatin1String("Baud")) ? uint32_t(settings[QLatin1String("Baud")].toDouble()) : defaults.bitrate;
    writeInterfaceIni();
}

SimulatedModule::SimulatedModule(const QJsonObject& state, int connectionType)
    : SimulatedModule(QJsonDocument(state).toJson(), connectionType)
{
}

SimulatedModule::~SimulatedModule()
{
    QFile::remove(statePath_);
    QFile::remove(iniPath_);
}

const char* SimulatedModule::registryPath()
{
    return "\\Software\\Velmora\\CANopen Quillfen App\\";
}

void SimulatedModule::configureNode(uint32_t node)
{
    node_ = node;
    writeInterfaceIni();
}

void SimulatedModule::configureBitRate(uint32_t bitrate)
{
    bitrate_ = bitrate;
    writeInterfaceIni();
}

void SimulatedModule::writeInterfaceIni() const
{
    korvane::config::InterfaceConfig config;
    config.transport = korvane::config::Transport::Simulated;
    config.connectionType = uint32_t(connectionType_);
    config.nodeId = node_;
    config.bitrate = bitrate_;
    config.moduleState = statePath_;
    QString error;
    if (!korvane::config::writeConfigFile(iniPath_, config, error))
        ADD_FAILURE() << error.toStdString();
}

void SimulatedModule::setState(const QByteArray& state)
{
    QSaveFile file(statePath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(state) != state.size() || !file.commit())
        ADD_FAILURE() << "cannot write " << statePath_.toStdString();
}

QByteArray SimulatedModule::rawState() const
{
    QFile file(statePath_);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << statePath_.toStdString();
        return {};
    }
    return file.readAll();
}

QJsonObject SimulatedModule::state() const
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(rawState(), &error);
    if (!document.isObject()) {
        ADD_FAILURE() << "the module state is no JSON object: " << error.errorString().toStdString();
        return {};
    }
    return document.object();
}

QByteArray SimulatedModule::memory() const
{
    const QJsonObject now = state();
    if (now.contains(QLatin1String("memory_hex")))
        return QByteArray::fromHex(now[QLatin1String("memory_hex")].toString().toLatin1());
    return now[QLatin1String("memory")].toString().toUtf8();
}

QJsonObject SimulatedModule::settings() const { return state()[QLatin1String("settings")].toObject(); }

uint32_t SimulatedModule::setting(const QString& name) const
{
    const QJsonObject stored = settings();
    if (stored.contains(name))
        return uint32_t(stored[name].toDouble());
    for (const auto& known : korvane::module::kSettings)
        if (name == QLatin1String(known.name.data(), qsizetype(known.name.size())))
            return known.defaultValue;
    ADD_FAILURE() << "no setting " << name.toStdString();
    return 0;
}

QJsonObject SimulatedModule::clock() const { return state()[QLatin1String("clock")].toObject(); }

QDateTime SimulatedModule::moduleClock() const
{
    const QJsonObject stored = clock();
    if (stored.contains(QLatin1String("offset_seconds")))
        return QDateTime::currentDateTime().addMSecs(qRound64(stored[QLatin1String("offset_seconds")].toDouble() * 1000));
    if (stored.contains(QLatin1String("time"))) {
        const auto time = korvane::module::parseModuleTime(stored[QLatin1String("time")].toString().toLatin1());
        const auto date = korvane::module::parseModuleDate(stored[QLatin1String("date")].toString().toLatin1());
        return time && date ? QDateTime(*date, *time) : QDateTime();
    }
    return QDateTime::currentDateTime();
}

QJsonObject SimulatedModule::faults() const { return state()[QLatin1String("faults")].toObject(); }

} // namespace testsupport
