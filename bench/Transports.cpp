#include "Transports.h"

#include "canbus/InMemoryBus.h"
#include "canbus/QtCanChannel.h"
#include "simulator/ModuleParameters.h"
#include "support/ModuleFiles.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QFile>
#include <QThread>

#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>


#include <atomic>
#include <chrono>
#include <thread>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kPeerStart{15};
constexpr int kWarmUp = 200;
const korvane::CanFrame kRequest{0x605, 8, {0x40, 0x0C, 0x20, 0, 0, 0, 0, 0}};

// A loopback port nobody listens on, so that each virtualcan bus of the run is its own.
int freeTcpPort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                       && getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(probe);
    return bound ? ntohs(address.sin_port) : 0;
}

QString virtualCanDevice() { return QStringLiteral("tcp://127.0.0.1:%1/can0").arg(freeTcpPort()); }

// Starts korvane-module-sim and waits for the line it prints once it serves: where to connect.
std::optional<QString> startSimulator(BenchRun& run, const std::vector<std::string>& arguments,
                                      std::unique_ptr<testsupport::ChildProcess>& simulator)
{
    const QString said = run.sandbox.root() + QStringLiteral("/simulator.out");
    QFile::remove(said); // what an earlier simulator said
    testsupport::ChildSpec spec;
    spec.program = (run.binaryFolder + QStringLiteral("/korvane-module-sim")).toStdString();
    spec.arguments = arguments;
    spec.arguments.push_back(testsupport::statePath(run.sandbox).toStdString());
    spec.environment = run.sandbox.childEnvironment();
    spec.workingFolder = run.sandbox.work().toStdString();
    spec.stdoutPath = said.toStdString();
    simulator = std::make_unique<testsupport::ChildProcess>(spec);
    const auto deadline = Clock::now() + kPeerStart;
    while (Clock::now() < deadline && !simulator->poll()) {
        const QByteArray out = testsupport::readFile(said).value_or(QByteArray());
        if (out.endsWith('\n'))
            return QString::fromLocal8Bit(out.trimmed());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

// After a warm-up, as the exchanges it is the reference of.
std::vector<double> timeRoundTrips(int count, const std::function<bool()>& roundTrip)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmUp + count; ++i) {
        const auto start = Clock::now();
        if (!roundTrip())
            return {};
        if (i >= kWarmUp)
            samples.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return samples;
}

std::vector<double> inMemoryRoundTrips(int count)
{
    korvane::InMemoryBus bus;
    korvane::InMemoryBus::Station& tool = bus.attach();
    korvane::InMemoryBus::Station& module = bus.attach();
    module.setHandler([&module](const korvane::CanFrame& frame) { module.send(frame); });
    return timeRoundTrips(count, [&] {
        korvane::CanFrame answer;
        return tool.send(kRequest) && tool.receive(answer, std::chrono::seconds(1)) == korvane::ReceiveStatus::Received;
    });
}

// A device on a virtualcan bus that answers every request at once from its own event loop, as
// the module simulator does, so that only the bus itself is timed.
class VirtualCanEcho {
public:
    explicit VirtualCanEcho(const QString& device)
    {
        context_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(&context_, [this, device] { start(device); }, Qt::BlockingQueuedConnection);
    }
    ~VirtualCanEcho()
    {
        QMetaObject::invokeMethod(&context_, [this] { delete device_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    bool connected(std::chrono::milliseconds timeout) const
    {
        const auto deadline = Clock::now() + timeout;
        while (!connected_ && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return connected_;
    }

private:
    void start(const QString& device)
    {
        device_ = QCanBus::instance()->createDevice(QStringLiteral("virtualcan"), device);
        if (!device_)
            return;
        QObject::connect(device_, &QCanBusDevice::stateChanged, &context_, [this](QCanBusDevice::CanBusDeviceState state) {
            connected_ = state == QCanBusDevice::ConnectedState;
        });
        QObject::connect(device_, &QCanBusDevice::framesReceived, &context_, [this] {
            for (const QCanBusFrame& frame : device_->readAllFrames())
                if (frame.frameId() == kRequest.id)
                    device_->writeFrame(QCanBusFrame(0x585, frame.payload()));
        });
        device_->connectDevice();
    }

    QThread thread_;
    QObject context_;
    QCanBusDevice* device_ = nullptr;
    std::atomic<bool> connected_{false};
};

std::vector<double> virtualCanRoundTrips(int count)
{
    const QString device = virtualCanDevice();
    const VirtualCanEcho echo(device);
    korvane::QtCanChannel tool(QStringLiteral("virtualcan"), device, 0, kPeerStart);
    if (!echo.connected(kPeerStart) || !tool.open())
        return {};
    return timeRoundTrips(count, [&] {
        korvane::CanFrame answer;
        return tool.send(kRequest) && tool.receive(answer, std::chrono::seconds(1)) == korvane::ReceiveStatus::Received;
    });
}

// One frame's line of the serial protocol through a pseudo-terminal in raw mode, echoed by a
// thread on the other side: what the serial line itself costs per frame.
std::vector<double> serialLineRoundTrips(int count)
{
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return {};
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    const QByteArray line = "t6058400C2000000000000\r";
    std::atomic<bool> stop{false};
    std::thread echoing([&] {
        char bytes[64];
        while (!stop) {
            const ssize_t got = read(master, bytes, sizeof bytes);
            if (got <= 0 || write(master, bytes, size_t(got)) != got)
                return;
        }
    });
    auto samples = timeRoundTrips(count, [&] {
        if (write(slave, line.constData(), size_t(line.size())) != line.size())
            return false;
        qsizetype back = 0;
        char bytes[64];
        while (back < line.size()) {
            const ssize_t got = read(slave, bytes, sizeof bytes);
            if (got <= 0)
                return false;
            back += got;
        }
        return true;
    });
    stop = true;
    close(slave); // ends the echo thread's read
    echoing.join();
    close(master);
    return samples;
}

} // namespace

QString transportName(TransportKind kind)
{
    switch (kind) {
    case TransportKind::Simulated: return QStringLiteral("simulated module");
    case TransportKind::VirtualCan: return QStringLiteral("virtualcan");
    case TransportKind::SerialLine: return QStringLiteral("serial line (pty)");
    }
    return {};
}

std::optional<TransportPeer> openTransport(BenchRun& run, TransportKind kind, const korvane::module::ModuleState& state)
{
    TransportPeer peer;
    peer.config.bitrate = state.settings.at(korvane::module::Baud); // the interface at the module's rate
    testsupport::installModule(run.sandbox, state, peer.config); // the simulator reads the state file when it starts
    if (kind != TransportKind::Simulated) {
        const bool can = kind == TransportKind::VirtualCan;
        const std::vector<std::string> arguments =
            can ? std::vector<std::string>{"--plugin", "virtualcan", "--device", virtualCanDevice().toStdString()}
                : std::vector<std::string>{"--pty"};
        const auto where = startSimulator(run, arguments, peer.simulator);
        if (!where) {
            run.table.note(QStringLiteral("%1: the module simulator did not start").arg(transportName(kind)));
            return std::nullopt;
        }
        peer.config.transport = can ? korvane::config::Transport::Can : korvane::config::Transport::Serial;
        peer.config.plugin = can ? QStringLiteral("virtualcan") : QString();
        peer.config.device = *where;
        korvane::config::deriveConnectionType(peer.config);
        testsupport::installModule(run.sandbox, state, peer.config);
    }
    return peer;
}

std::vector<double> frameRoundTrips(TransportKind kind, int count)
{
    switch (kind) {
    case TransportKind::Simulated: return inMemoryRoundTrips(count);
    case TransportKind::VirtualCan: return virtualCanRoundTrips(count);
    case TransportKind::SerialLine: return serialLineRoundTrips(count);
    }
    return {};
}

} // namespace bench
