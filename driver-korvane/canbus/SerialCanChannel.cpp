#include "canbus/SerialCanChannel.h"

#include "canbus/BusLibrary.h"
#include "contract/KorvaneApi.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace korvane {

namespace {

constexpr std::chrono::milliseconds kCommandTimeout(1000);
// Frames followed for their acknowledgement; adapters queue fewer. Beyond them (an adapter that
// does not acknowledge at all) the oldest is taken as sent.
constexpr size_t kFollowedFrames = 16;

std::optional<speed_t> speedOf(int lineRate)
{
    switch (lineRate) {
    case 2400: return B2400;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return std::nullopt;
    }
}

int errorCodeOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return ENODEV;
    case EACCES:
    case EPERM: return EACCES;
    default: return EIO;
    }
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

int millisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return int(std::max<int64_t>(left.count(), 0));
}

} // namespace

SerialCanChannel::SerialCanChannel(const QString& port, int lineRate, uint32_t bitrate)
    : port_(port), lineRate_(lineRate), bitrate_(bitrate)
{
}

SerialCanChannel::~SerialCanChannel()
{
    if (opened_ && !lost_)
        write(QByteArray("C") + slcan::kDone);
    if (fd_ >= 0)
        ::close(fd_);
}

bool SerialCanChannel::lose(const QString& why)
{
    lost_ = true;
    return setError(QStringLiteral("the serial port %1: %2").arg(port_, why), ENODEV);
}

bool SerialCanChannel::open()
{
    const auto rate = slcan::bitrateCommand(bitrate_);
    if (!rate)
        return setError(QStringLiteral("serial CAN adapters have no setting for %1 bit/s").arg(bitrate_), EINVAL);
    const auto speed = speedOf(lineRate_);
    if (!speed)
        return setError(QStringLiteral("the serial line rate %1 is not supported").arg(lineRate_), EINVAL);
    const QString path = port_.contains(QLatin1Char('/')) ? port_ : QStringLiteral("/dev/") + port_;
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios line{};
    if (fd_ < 0 || ::tcgetattr(fd_, &line) != 0) {
        const int error = errno;
        return setError(QStringLiteral("cannot open the serial port %1: %2").arg(port_, systemError(error)), errorCodeOf(error));
    }
    ::ioctl(fd_, TIOCEXCL); // as other serial programs do: nobody else opens it meanwhile
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_cflag &= ~(CSTOPB | CRTSCTS);
    ::cfsetispeed(&line, *speed);
    ::cfsetospeed(&line, *speed);
    if (::tcsetattr(fd_, TCSANOW, &line) != 0) {
        const int error = errno;
        return setError(QStringLiteral("cannot set up the serial port %1: %2").arg(port_, systemError(error)), errorCodeOf(error));
    }
    ::tcflush(fd_, TCIOFLUSH);
    // Close first: an adapter left open refuses the bit rate. Its answer does not matter.
    command("C");
    const auto setRate = command(*rate);
    if (!setRate)
        return setError(QStringLiteral("the adapter on %1 does not answer").arg(port_), ETIMEDOUT);
    const auto openChannel = setRate->refused ? setRate : command("O");
    if (!openChannel || openChannel->refused)
        return setError(QStringLiteral("the adapter on %1 refuses to open its CAN channel at %2 bit/s")
                            .arg(port_)
                            .arg(bitrate_),
                        int(KORVANE_ERROR_WRONG_MODE));
    opened_ = true;
    return true;
}

bool SerialCanChannel::write(const QByteArray& text)
{
    const auto deadline = std::chrono::steady_clock::now() + kCommandTimeout;
    for (qsizetype written = 0; written < text.size();) {
        if (lost_)
            return false;
        const ssize_t count = ::write(fd_, text.constData() + written, size_t(text.size() - written));
        if (count > 0) {
            written += count;
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return lose(systemError(errno));
        pollfd out{fd_, POLLOUT, 0};
        if (::poll(&out, 1, millisecondsLeft(deadline)) == 0)
            return false; // the line does not take it: the exchange fails, the port may recover
        if (out.revents & (POLLERR | POLLHUP | POLLNVAL))
            return lose(QStringLiteral("the line was hung up"));
    }
    return true;
}

std::optional<slcan::Reply> SerialCanChannel::command(const QByteArray& text)
{
    replies_.clear();
    if (!write(text + slcan::kDone))
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + kCommandTimeout;
    while (replies_.empty()) {
        const int left = millisecondsLeft(deadline);
        if (left <= 0 || !pump(std::chrono::milliseconds(left)))
            return std::nullopt;
    }
    return replies_.front();
}

bool SerialCanChannel::pump(std::chrono::milliseconds timeout)
{
    if (lost_)
        return false;
    pollfd in{fd_, POLLIN, 0};
    const int ready = ::poll(&in, 1, int(timeout.count()));
    if (ready < 0 && errno != EINTR)
        return lose(systemError(errno));
    if (ready <= 0)
        return true;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count > 0) {
            pending_.append(buffer, qsizetype(count));
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            break;
        // End of file or an error such as EIO: the other end of the line is gone.
        return lose(count == 0 ? QStringLiteral("the line was hung up") : systemError(errno));
    }
    for (slcan::Reply& reply : slcan::takeReplies(pending_)) {
        if (reply.line.startsWith('t')) {
            if (const auto frame = slcan::decode(reply.line); frame && isNodeReport(frame->id))
                frames_.push_back(*frame);
        } else if (reply.line.startsWith('T') || reply.line.startsWith('r') || reply.line.startsWith('R')) {
            continue;
        } else if (!unacknowledged_.empty()) {
            if (!acknowledge(reply))
                return false;
        } else {
            replies_.push_back(std::move(reply)); // answers to commands, status lines
        }
    }
    return true;
}

bool SerialCanChannel::acknowledge(const slcan::Reply& reply)
{
    Unacknowledged oldest = std::move(unacknowledged_.front());
    unacknowledged_.pop_front();
    if (!reply.refused)
        return true;
    // Refused: the adapter's queue is full, which is back-pressure, not an error. The frame goes
    // again behind those already queued; one refused for too long is lost, and the exchange
    // waiting for its answer times out as for any frame that gets none.
    if (std::chrono::steady_clock::now() - oldest.firstSent > kCommandTimeout)
        return true;
    return transmit(oldest.line, oldest.firstSent) || !lost_;
}

bool SerialCanChannel::transmit(const QByteArray& line, std::chrono::steady_clock::time_point firstSent)
{
    if (!write(line))
        return false;
    if (unacknowledged_.size() == kFollowedFrames)
        unacknowledged_.pop_front();
    unacknowledged_.push_back({line, firstSent});
    return true;
}

bool SerialCanChannel::send(const CanFrame& frame)
{
    replies_.clear();
    return transmit(slcan::encode(frame), std::chrono::steady_clock::now());
}

ReceiveStatus SerialCanChannel::receive(CanFrame& frame, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (frames_.empty()) {
        const int left = millisecondsLeft(deadline);
        if (!pump(std::chrono::milliseconds(left)))
            return ReceiveStatus::Failed;
        if (frames_.empty() && left <= 0)
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
