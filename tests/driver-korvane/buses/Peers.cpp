#include "Peers.h"

#include "canbus/QtCanChannel.h"

#include <QFileInfo>
#include <QLibraryInfo>

#include <csignal>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

bool pseudoTerminalsAvailable()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return false;
    ::close(master);
    return true;
}

QString canbusutilPath()
{
    const QString path = QLibraryInfo::path(QLibraryInfo::BinariesPath) + QStringLiteral("/canbusutil");
    return QFileInfo(path).isExecutable() ? path : QString();
}

testsupport::ChildSpec peerSpec(const QString& program, const QStringList& arguments)
{
    testsupport::ChildSpec spec;
    spec.program = program.toStdString();
    for (const QString& argument : arguments)
        spec.arguments.push_back(argument.toStdString());
    spec.environment = testsupport::environmentWithout({});
    spec.stdoutPath.clear();
    spec.stderrPath.clear();
    return spec;
}

int freeTcpPort()
{
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    return probe.serverPort();
}

QString virtualCanDevice(int port)
{
    return QStringLiteral("tcp://127.0.0.1:%1/can0").arg(port);
}

ModuleSimulator::ModuleSimulator(const QStringList& arguments)
    : process_(peerSpec(QStringLiteral(KORVANE_MODULE_SIM), arguments))
{
    where_ = QString::fromLocal8Bit(process_.readLine(std::chrono::seconds(10))).trimmed();
    EXPECT_FALSE(where_.isEmpty()) << "korvane-module-sim did not start serving (its messages are above)";
}

void ModuleSimulator::kill()
{
    process_.kill();
    process_.waitFor(std::chrono::seconds(5));
}

BusRecorder::BusRecorder(const QString& device)
    : process_(peerSpec(canbusutilPath(), {QStringLiteral("-l"), QStringLiteral("virtualcan"), device}))
{
    // It listens once its virtualcan client is connected; by then the bus's port takes connections.
    const QUrl url(device);
    for (int attempt = 0; attempt < 100 && !listening_; ++attempt) {
        QTcpSocket probe;
        probe.connectToHost(url.host(), quint16(url.port()));
        listening_ = probe.waitForConnected(100);
        if (!listening_)
            QThread::msleep(50);
    }
    if (!listening_)
        return;
    // Recording starts once canbusutil's own client is on the bus: send marker frames until one
    // shows in its output.
    korvane::QtCanChannel marker(QStringLiteral("virtualcan"), device, 0, std::chrono::milliseconds(5000));
    listening_ = marker.open();
    korvane::CanFrame frame; // identifier 0, no data
    for (int attempt = 0; listening_ && attempt < 100 && !seen_.contains("000   [0]"); ++attempt) {
        marker.send(frame);
        seen_ += process_.readSome(std::chrono::milliseconds(100));
    }
    listening_ = seen_.contains("000   [0]");
}

std::vector<std::string> BusRecorder::frames(size_t expected)
{
    // The library hands frames to its device thread; the last ones may still be on their way.
    for (int wait = 0; wait < 50 && parse().size() < expected; ++wait)
        seen_ += process_.readSome(std::chrono::milliseconds(100));
    seen_ += process_.finish();
    return parse();
}

std::vector<std::string> BusRecorder::parse() const
{
    std::vector<std::string> frames;
    // "     605   [8]  40 0C 20 00 00 00 00 00"
    static const QRegularExpression line(QStringLiteral("^\\s*([0-9A-F]{3})\\s+\\[(\\d)\\]\\s+((?:[0-9A-F]{2} ?)*)$"));
    for (const QByteArray& raw : seen_.split('\n')) {
        const auto match = line.match(QString::fromLatin1(raw).trimmed());
        if (!match.hasMatch() || match.captured(1) == QLatin1String("000") || match.captured(1).startsWith(u'7'))
            continue; // not a frame, a marker, or the module's boot-up and heartbeats
        korvane::CanFrame frame;
        frame.id = match.captured(1).toUInt(nullptr, 16);
        const QStringList bytes = match.captured(3).split(u' ', Qt::SkipEmptyParts);
        frame.length = uint8_t(bytes.size());
        for (int i = 0; i < bytes.size() && i < 8; ++i)
            frame.data[size_t(i)] = uint8_t(bytes[i].toUInt(nullptr, 16));
        frames.push_back(korvane::describe(frame));
    }
    return frames;
}

void configureAdapter(const QString& iniPath, korvane::config::Transport transport, const QString& device,
                      uint32_t nodeId, uint32_t timeoutMs, const QString& plugin)
{
    korvane::config::InterfaceConfig config;
    config.transport = transport;
    if (transport == korvane::config::Transport::Can)
        config.plugin = plugin;
    config.device = device;
    config.nodeId = nodeId;
    config.sdoTimeoutMs = timeoutMs;
    korvane::config::deriveConnectionType(config);
    QString error;
    EXPECT_TRUE(korvane::config::writeConfigFile(iniPath, config, error)) << error.toStdString();
}
