#include "Ports.h"

#include "canbus/QtCanFrame.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QSerialPort>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace korvane;

namespace {

void announce(const QString& where)
{
    std::printf("%s\n", qPrintable(where));
    std::fflush(stdout);
}

} // namespace

CanBusPort::CanBusPort(SimulatedNodes& nodes, const QString& plugin, const QString& device)
    : nodes_(nodes), plugin_(plugin), deviceName_(device)
{
}

CanBusPort::~CanBusPort()
{
    if (device_)
        device_->disconnectDevice();
}

bool CanBusPort::start()
{
    QString error;
    device_ = QCanBus::instance()->createDevice(plugin_, deviceName_, &error);
    if (!device_) {
        std::fprintf(stderr, "korvane-module-sim: no CAN device %s in plugin %s: %s\n", qPrintable(deviceName_),
                     qPrintable(plugin_), qPrintable(error));
        return false;
    }
    device_->setParent(this);
    connect(device_, &QCanBusDevice::framesReceived, this, [this] {
        keepTcpPrompt(*device_);
        for (const QCanBusFrame& frame : device_->readAllFrames())
            if (const auto ours = fromQt(frame))
                nodes_.handle(*ours);
    });
    connect(device_, &QCanBusDevice::errorOccurred, this, [this](QCanBusDevice::CanBusError error) {
        std::fprintf(stderr, "korvane-module-sim: %s\n", qPrintable(device_->errorString()));
        if (error == QCanBusDevice::ConnectionError)
            std::exit(1);
    });
    connect(device_, &QCanBusDevice::stateChanged, this, [this](QCanBusDevice::CanBusDeviceState state) {
        if (state != QCanBusDevice::ConnectedState)
            return;
        keepTcpPrompt(*device_);
        announce(deviceName_);
        nodes_.start();
    });
    nodes_.setBus([this](const CanFrame& frame, wire::Clock::time_point arrived) {
        std::this_thread::sleep_until(arrived);
        device_->writeFrame(toQt(frame));
    });
    return device_->connectDevice();
}

SerialLinePort::SerialLinePort(SimulatedNodes& nodes, bool refuseOpen, uint32_t timedLineRate, uint32_t busRate)
    : nodes_(nodes)
    , lineRate_(timedLineRate)
    , adapter_([this](const QByteArray& bytes) { toPc(bytes); }, [this](const CanFrame& f) { nodes_.handle(f, lineEnd_); })
{
    adapter_.refuseOpen(refuseOpen);
    adapter_.setBusRate(busRate);
    nodes_.setBus([this](const CanFrame& frame, wire::Clock::time_point arrived) {
        readyAt_ = arrived;
        adapter_.fromBus(frame);
    });
}

SerialLinePort::~SerialLinePort()
{
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

bool SerialLinePort::startSerial(const QString& path, int lineRate)
{
    serial_ = new QSerialPort(path, this);
    serial_->setBaudRate(lineRate);
    if (!serial_->open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "korvane-module-sim: cannot open %s: %s\n", qPrintable(path), qPrintable(serial_->errorString()));
        return false;
    }
    connect(serial_, &QSerialPort::readyRead, this, [this] { fromPc(serial_->readAll()); });
    connect(serial_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::ResourceError)
            return;
        std::fprintf(stderr, "korvane-module-sim: %s went away\n", qPrintable(serial_->portName()));
        std::exit(1);
    });
    announce(path);
    nodes_.start();
    return true;
}

bool SerialLinePort::startPseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        std::perror("korvane-module-sim: pseudo-terminal");
        return false;
    }
    const QString path = QString::fromLocal8Bit(::ptsname(master_));
    slave_ = ::open(qPrintable(path), O_RDWR | O_NOCTTY);
    termios raw{};
    if (slave_ < 0 || ::tcgetattr(slave_, &raw) != 0) {
        std::perror("korvane-module-sim: pseudo-terminal");
        return false;
    }
    // Raw, or the line discipline turns CR into LF and echoes what the PC sends.
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readTerminal(); });
    announce(path);
    nodes_.start();
    return true;
}

void SerialLinePort::readTerminal()
{
    char buffer[512];
    ssize_t count;
    while ((count = ::read(master_, buffer, sizeof buffer)) > 0)
        fromPc(QByteArray(buffer, qsizetype(count)));
}

void SerialLinePort::fromPc(const QByteArray& bytes)
{
    // What the PC wrote reached the adapter whole only after its characters' time on the line.
    lineEnd_ = readyAt_ = lineRate_ ? fromPc_.occupy(wire::Clock::now(), wire::lineTime(bytes.size(), lineRate_))
                                    : wire::Clock::now();
    adapter_.fromPc(bytes);
}

void SerialLinePort::toPc(const QByteArray& bytes)
{
    if (lineRate_)
        std::this_thread::sleep_until(toPc_.occupy(readyAt_, wire::lineTime(bytes.size(), lineRate_)));
    if (serial_) {
        serial_->write(bytes);
        return;
    }
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t count = ::write(master_, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return;
        written += count > 0 ? count : 0;
    }
}
