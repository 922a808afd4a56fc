#include "canbus/SerialCanChannel.h"

#include "canbus/BusLibrary.h"
#include "contract/KorvaneApi.h"

#include <cerrno>

namespace korvane {

namespace {

constexpr std::chrono::milliseconds kCommandTimeout(1000);

int errorCodeOf(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ENODEV;
    case QSerialPort::PermissionError: return EACCES;
    default: return EIO;
    }
}

} // namespace

SerialCanChannel::SerialCanChannel(const QString& port, int lineRate, uint32_t bitrate)
    : bitrate_(bitrate)
{
    port_.setPortName(port);
    port_.setBaudRate(lineRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

SerialCanChannel::~SerialCanChannel()
{
    if (opened_ && !lost()) {
        port_.write(QByteArray("C") + slcan::kDone);
        port_.waitForBytesWritten(int(kCommandTimeout.count()));
    }
}

bool SerialCanChannel::lost()
{
    if (port_.isOpen() && port_.error() != QSerialPort::ResourceError)
        return false;
    setError(QStringLiteral("the serial port %1: %2").arg(port_.portName(), port_.errorString()), ENODEV);
    return true;
}

bool SerialCanChannel::open()
{
    const auto rate = slcan::bitrateCommand(bitrate_);
    if (!rate)
        return setError(QStringLiteral("serial CAN adapters have no setting for %1 bit/s").arg(bitrate_), EINVAL);
    if (!port_.open(QIODevice::ReadWrite))
        return setError(QStringLiteral("cannot open the serial port %1: %2").arg(port_.portName(), port_.errorString()),
                        errorCodeOf(port_.error()));
    port_.clear();
    // Close first: an adapter left open refuses the bit rate. Its answer does not matter.
    command("C");
    const auto setRate = command(*rate);
    if (!setRate)
        return setError(QStringLiteral("the adapter on %1 does not answer").arg(port_.portName()), ETIMEDOUT);
    const auto openChannel = setRate->refused ? setRate : command("O");
    if (!openChannel || openChannel->refused)
        return setError(QStringLiteral("the adapter on %1 refuses to open its CAN channel at %2 bit/s")
                            .arg(port_.portName())
                            .arg(bitrate_),
                        int(KORVANE_ERROR_WRONG_MODE));
    opened_ = true;
    return true;
}

std::optional<slcan::Reply> SerialCanChannel::command(const QByteArray& text)
{
    replies_.clear();
    if (port_.write(text + slcan::kDone) < 0 || !port_.waitForBytesWritten(int(kCommandTimeout.count())))
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + kCommandTimeout;
    while (replies_.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !pump(left))
            return std::nullopt;
    }
    return replies_.front();
}

bool SerialCanChannel::pump(std::chrono::milliseconds timeout)
{
    if (!port_.bytesAvailable() && !port_.waitForReadyRead(int(timeout.count())))
        return !lost();
    pending_ += port_.readAll();
    for (slcan::Reply& reply : slcan::takeReplies(pending_)) {
        if (reply.line.startsWith('t')) {
            if (const auto frame = slcan::decode(reply.line); frame && isNodeReport(frame->id))
                frames_.push_back(*frame);
        } else if (!reply.line.startsWith('T') && !reply.line.startsWith('r') && !reply.line.startsWith('R')) {
            replies_.push_back(std::move(reply)); // answers, transmit acknowledgements, status lines
        }
    }
    return !lost();
}

bool SerialCanChannel::send(const CanFrame& frame)
{
    if (lost())
        return false;
    replies_.clear();
    const QByteArray line = slcan::encode(frame);
    return port_.write(line) == line.size() && port_.waitForBytesWritten(int(kCommandTimeout.count())) && !lost();
}

ReceiveStatus SerialCanChannel::receive(CanFrame& frame, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (frames_.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (!pump(std::max(left, std::chrono::milliseconds(0))))
            return ReceiveStatus::Failed;
        if (frames_.empty() && left.count() <= 0)
            return ReceiveStatus::TimedOut;
    }
    frame = frames_.front();
    frames_.pop_front();
    return ReceiveStatus::Received;
}

} // namespace korvane

KORVANE_BUS_EXPORT korvane::CanChannel* KorvaneBusOpenSerial(const korvane::bus::ChannelSettings& settings)
{
    return new korvane::SerialCanChannel(settings.device, int(settings.lineRate), settings.bitrate);
}
