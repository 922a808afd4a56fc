#include "canbus/QtCanChannel.h"

#include "canbus/BusLibrary.h"
#include "canbus/QtCanFrame.h"
#include "contract/KorvaneApi.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QFile>
#include <QVariant>

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

namespace korvane {

namespace {

// A socketcan interface that exists but is down cannot carry frames: the wrong mode, not a
// missing adapter.
bool interfaceDown(const QString& plugin, const QString& device)
{
    if (plugin != QLatin1String("socketcan"))
        return false;
    QFile flags(QStringLiteral("/sys/class/net/%1/flags").arg(device));
    if (!flags.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const uint value = flags.readAll().trimmed().toUInt(&ok, 16);
    return ok && !(value & 0x1); // IFF_UP
}

} // namespace

QtCanChannel::QtCanChannel(const QString& plugin, const QString& device, uint32_t bitrate,
                           std::chrono::milliseconds connectTimeout)
    : plugin_(plugin), deviceName_(device), bitrate_(bitrate), connectTimeout_(connectTimeout)
{
}

QtCanChannel::~QtCanChannel()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
        thread_.join();
    }
    if (wake_ >= 0)
        ::close(wake_);
}

bool QtCanChannel::open()
{
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0)
        return setError(QStringLiteral("no event descriptor for the CAN device thread: %1").arg(QString::fromLocal8Bit(std::strerror(errno))),
                        errno);
    thread_ = std::thread([this] { run(); });

    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, connectTimeout_, [this] { return state_ != State::Opening; })) {
        state_ = State::Failed;
        return setError(QStringLiteral("the CAN device %1 of plugin %2 did not connect in time").arg(deviceName_, plugin_),
                        ETIMEDOUT);
    }
    return state_ != State::Failed; // the device thread has said why
}

void QtCanChannel::run()
{
    QEventLoop loop;
    loop_ = &loop;
    start();
    loop.exec();
    delete context_; // the device and the notifier with it
}

void QtCanChannel::start()
{
    context_ = new QObject;
    auto* notifier = new QSocketNotifier(wake_, QSocketNotifier::Read, context_);
    QObject::connect(notifier, &QSocketNotifier::activated, context_, [this] { onWake(); });
    QString error;
    device_ = QCanBus::instance()->createDevice(plugin_, deviceName_, &error);
    if (!device_) {
        fail(QStringLiteral("no CAN device %1 in plugin %2: %3").arg(deviceName_, plugin_, error), ENODEV);
        return;
    }
    device_->setParent(context_);
    if (plugin_ != QLatin1String("socketcan") && plugin_ != QLatin1String("virtualcan"))
        device_->setConfigurationParameter(QCanBusDevice::BitRateKey, QVariant::fromValue(bitrate_));
    QObject::connect(device_, &QCanBusDevice::stateChanged, context_, [this] { onState(); });
    QObject::connect(device_, &QCanBusDevice::errorOccurred, context_, [this] { onError(); });
    QObject::connect(device_, &QCanBusDevice::framesReceived, context_, [this] { onFrames(); });
    if (!device_->connectDevice())
        onError();
}

void QtCanChannel::onWake()
{
    uint64_t count;
    while (::read(wake_, &count, sizeof count) > 0) {
    }
    std::deque<CanFrame> sending;
    bool stop;
    {
        std::lock_guard lock(mutex_);
        sending.swap(outgoing_);
        stop = stopping_;
    }
    if (stop) {
        if (device_) {
            device_->disconnect(context_);
            device_->disconnectDevice();
        }
        loop_->quit();
        return;
    }
    for (auto frame = sending.begin(); frame != sending.end(); ++frame) {
        if (!device_ || device_->writeFrame(toQt(*frame)))
            continue;
        if (device_->error() == QCanBusDevice::ConnectionError) {
            fail(QStringLiteral("CAN device %1 cannot send: %2").arg(deviceName_, device_->errorString()), ENODEV);
            return;
        }
        // A full transmit queue (ENOBUFS): keep this frame and the rest, in order, and try again.
        {
            std::lock_guard lock(mutex_);
            outgoing_.insert(outgoing_.begin(), frame, sending.end());
        }
        QTimer::singleShot(std::chrono::milliseconds(1), context_, [this] { onWake(); });
        return;
    }
}

void QtCanChannel::onState()
{
    const QCanBusDevice::CanBusDeviceState state = device_->state();
    if (state == QCanBusDevice::ConnectedState)
        keepTcpPrompt(*device_);
    std::lock_guard lock(mutex_);
    if (state == QCanBusDevice::ConnectedState && state_ == State::Opening) {
        const bool busOff = device_->hasBusStatus() && device_->busStatus() == QCanBusDevice::CanBusStatus::BusOff;
        if (busOff || interfaceDown(plugin_, deviceName_)) {
            setError(QStringLiteral("the CAN device %1 is %2").arg(deviceName_, busOff ? QStringLiteral("bus-off") : QStringLiteral("down")),
                     int(KORVANE_ERROR_WRONG_MODE));
            state_ = State::Failed;
        } else {
            state_ = State::Open;
        }
        changed_.notify_all();
    } else if (state == QCanBusDevice::UnconnectedState && state_ != State::Failed) {
        setError(QStringLiteral("the CAN device %1 was disconnected").arg(deviceName_), ENODEV);
        state_ = State::Failed;
        changed_.notify_all();
    }
}

void QtCanChannel::onError()
{
    // Only a connection error ends the channel; a lost frame is the SDO timeout's business.
    if (device_->error() == QCanBusDevice::ConnectionError)
        fail(QStringLiteral("CAN device %1: %2").arg(deviceName_, device_->errorString()), ENODEV);
}

void QtCanChannel::fail(const QString& reason, int errorCode)
{
    std::lock_guard lock(mutex_);
    if (state_ == State::Failed)
        return;
    setError(reason, errorCode);
    state_ = State::Failed;
    changed_.notify_all();
}

void QtCanChannel::onFrames()
{
    const QList<QCanBusFrame> received = device_->readAllFrames();
    keepTcpPrompt(*device_);
    bool sawError = false;
    bool sawBusOff = false;
    for (const QCanBusFrame& frame : received) {
        if (frame.frameType() == QCanBusFrame::ErrorFrame) {
            sawError = true;
            sawBusOff = sawBusOff || (frame.error() & QCanBusFrame::BusOffError);
        }
    }
    if (sawError)
        noteBusStatus(sawBusOff);
    std::lock_guard lock(mutex_);
    for (const QCanBusFrame& frame : received) {
        if (frame.frameType() == QCanBusFrame::DataFrame && busState_ == BusState::Off)
            busState_ = BusState::Active; // frames flow again: the controller has recovered
        if (const auto ours = fromQt(frame); ours && isNodeReport(ours->id))
            frames_.push_back(*ours);
    }
    changed_.notify_all();
}

void QtCanChannel::noteBusStatus(bool errorFrameSaysOff)
{
    bool off = errorFrameSaysOff;
    if (device_->hasBusStatus())
        off = device_->busStatus() == QCanBusDevice::CanBusStatus::BusOff;
    std::lock_guard lock(mutex_);
    busState_ = off ? BusState::Off : BusState::Active;
}

CanChannel::BusState QtCanChannel::busState()
{
    std::lock_guard lock(mutex_);
    return busState_;
}

bool QtCanChannel::send(const CanFrame& frame)
{
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::Open)
            return false;
        outgoing_.push_back(frame);
    }
    const uint64_t one = 1;
    return ::write(wake_, &one, sizeof one) == sizeof one;
}

OfferStatus QtCanChannel::offer(const CanFrame& frame)
{
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::Open)
            return OfferStatus::Failed;
        if (outgoing_.size() >= kQueueLimit)
            return OfferStatus::Full;
        outgoing_.push_back(frame);
    }
    const uint64_t one = 1;
    return ::write(wake_, &one, sizeof one) == sizeof one ? OfferStatus::Sent : OfferStatus::Failed;
}

ReceiveStatus QtCanChannel::receive(CanFrame& frame, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    // A zero timeout only takes what is queued (see InMemoryBus::Station::receive).
    const auto ready = [this] { return !frames_.empty() || state_ == State::Failed; };
    if (!ready() && timeout > std::chrono::milliseconds(0))
        changed_.wait_for(lock, timeout, ready);
    if (!frames_.empty()) {
        frame = frames_.front();
        frames_.pop_front();
        return ReceiveStatus::Received;
    }
    return state_ == State::Failed ? ReceiveStatus::Failed : ReceiveStatus::TimedOut;
}

} // namespace korvane

KORVANE_BUS_EXPORT korvane::CanChannel* KorvaneBusOpenCan(const korvane::bus::ChannelSettings& settings)
{
    return new korvane::QtCanChannel(settings.plugin, settings.device, settings.bitrate);
}
