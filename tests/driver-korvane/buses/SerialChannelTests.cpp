// The serial transport against an adapter on a pseudo-terminal, answering from a thread of its own.
#include "Peers.h"
#include "canbus/SerialCanChannel.h"
#include "canbus/SlcanAdapter.h"
#include "contract/KorvaneApi.h"
#include "sdo/SdoClient.h"
#include "sdo/SdoServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace korvane;
using namespace std::chrono_literals;

namespace {

// Filled by the test thread, served by the adapter's thread.
struct Objects : sdo::ObjectDictionary {
    void set(uint16_t index, sdo::Bytes value)
    {
        std::lock_guard lock(mutex);
        values[index] = std::move(value);
    }
    uint32_t read(uint16_t index, uint8_t, sdo::Bytes& value) override
    {
        std::lock_guard lock(mutex);
        const auto it = values.find(index);
        if (it == values.end())
            return sdo::NoSuchObject;
        value = it->second;
        return 0;
    }
    uint32_t write(uint16_t index, uint8_t, const sdo::Bytes& value) override
    {
        std::lock_guard lock(mutex);
        values[index] = value;
        return 0;
    }
    std::mutex mutex;
    std::map<uint16_t, sdo::Bytes> values;
};

// A serial CAN adapter with node 5 behind it, on the master side of a pseudo-terminal.
class AdapterPeer {
public:
    enum class Mode { Answering, RefusingOpen, Silent, Congested };

    explicit AdapterPeer(Mode mode = Mode::Answering, slcan::Adapter::Acknowledge ack = slcan::Adapter::Acknowledge::Lawicel)
        : adapter_([this](const QByteArray& bytes) { toPc(bytes); },
                   [this](const CanFrame& frame) {
                       server_.handle(frame);
                   },
                   ack)
        , mode_(mode)
    {
        adapter_.refuseOpen(mode == Mode::RefusingOpen);
        adapter_.congest(mode == Mode::Congested);
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master_, 0);
        EXPECT_EQ(::grantpt(master_), 0);
        EXPECT_EQ(::unlockpt(master_), 0);
        path_ = QString::fromLocal8Bit(::ptsname(master_));
        thread_ = std::thread([this] { run(); });
    }
    ~AdapterPeer() { lose(); }

    QString path() const { return path_; }
    Objects& objects() { return objects_; }
    // The adapter is unplugged: its end of the line goes away.
    void lose()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    void run()
    {
        while (!stop_) {
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, 20) <= 0 || !(fd.revents & POLLIN))
                continue;
            char buffer[256];
            const ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count > 0 && mode_ != Mode::Silent)
                adapter_.fromPc(QByteArray(buffer, qsizetype(count)));
        }
    }
    void toPc(const QByteArray& bytes) { EXPECT_EQ(::write(master_, bytes.constData(), size_t(bytes.size())), bytes.size()); }

    Objects objects_;
    sdo::SdoServer server_{objects_, 5, [this](const CanFrame& frame) {
                               CanFrame other = frame; // another node's answer first: the PC must ignore it
                               other.id = 0x586;
                               adapter_.fromBus(other);
                               adapter_.fromBus(frame);
                           }};
    slcan::Adapter adapter_;
    Mode mode_;
    int master_ = -1;
    QString path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

sdo::Bytes bytes(size_t count)
{
    sdo::Bytes value(count);
    for (size_t i = 0; i < count; ++i)
        value[i] = uint8_t(i * 3 + 1);
    return value;
}

void exchangeEverything(SerialCanChannel& channel, AdapterPeer& peer)
{
    sdo::SdoClient client(channel, 5, 1000ms);
    client.setBlockSize(16);
    peer.objects().set(0x200C, {5});
    peer.objects().set(0x200E, bytes(255));
    sdo::Bytes value;
    EXPECT_EQ(client.upload(0x200C, 0, value, 1), sdo::Result::done());
    EXPECT_EQ(value, sdo::Bytes{5});
    EXPECT_EQ(client.download(0x200B, 0, {0x20, 0xA1, 0x07, 0x00}), sdo::Result::done());
    EXPECT_EQ(client.download(0x2006, 0, bytes(8)), sdo::Result::done());
    EXPECT_EQ(client.upload(0x2006, 0, value, 255), sdo::Result::done());
    EXPECT_EQ(value, bytes(8));
    EXPECT_EQ(client.upload(0x200E, 0, value, 255, sdo::SdoClient::Upload::BlockIfOffered), sdo::Result::done());
    EXPECT_EQ(value, bytes(255));
    EXPECT_EQ(client.upload(0x2063, 0, value, 1), sdo::Result::module(sdo::NoSuchObject));
}

} // namespace

TEST(SerialTransport, LawicelAdapterCarriesEveryKindOfTransfer)
{
    REQUIRE_PSEUDO_TERMINALS();
    AdapterPeer peer;
    SerialCanChannel channel(peer.path(), 115200, 250000);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    exchangeEverything(channel, peer);
}

TEST(SerialTransport, AdapterAcknowledgingWithPlainCr)
{
    REQUIRE_PSEUDO_TERMINALS();
    AdapterPeer peer(AdapterPeer::Mode::Answering, slcan::Adapter::Acknowledge::PlainCr);
    SerialCanChannel channel(peer.path(), 115200, 1000000);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    exchangeEverything(channel, peer);
}

// Every other frame refused: each goes again, and none reaches the module twice (a repeated
// request or block acknowledgement would break the transfers).
TEST(SerialTransport, FramesRefusedByAFullAdapterQueueGoAgain)
{
    REQUIRE_PSEUDO_TERMINALS();
    AdapterPeer peer(AdapterPeer::Mode::Congested);
    SerialCanChannel channel(peer.path(), 115200, 250000);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    exchangeEverything(channel, peer);
}

TEST(SerialTransport, AdapterRefusingToOpenIsTheWrongMode)
{
    REQUIRE_PSEUDO_TERMINALS();
    AdapterPeer peer(AdapterPeer::Mode::RefusingOpen);
    SerialCanChannel channel(peer.path(), 115200, 250000);
    EXPECT_FALSE(channel.open());
    EXPECT_EQ(uint32_t(channel.error().errorCode), KORVANE_ERROR_WRONG_MODE);
}

TEST(SerialTransport, SilentAdapterFailsTheOpen)
{
    REQUIRE_PSEUDO_TERMINALS();
    AdapterPeer peer(AdapterPeer::Mode::Silent);
    SerialCanChannel channel(peer.path(), 115200, 250000);
    EXPECT_FALSE(channel.open());
    EXPECT_EQ(channel.error().errorCode, ETIMEDOUT);
    EXPECT_TRUE(channel.error().message.contains("does not answer")) << channel.error().message.toStdString();
}

TEST(SerialTransport, MissingPortAndUnsupportedRate)
{
    REQUIRE_PSEUDO_TERMINALS();
    SerialCanChannel missing(QStringLiteral("/dev/korvane-no-such-port"), 115200, 250000);
    EXPECT_FALSE(missing.open());
    EXPECT_EQ(missing.error().errorCode, ENODEV);
    AdapterPeer peer;
    SerialCanChannel odd(peer.path(), 115200, 800000);
    EXPECT_FALSE(odd.open());
    EXPECT_EQ(odd.error().errorCode, EINVAL);
}

TEST(SerialTransport, LostAdapterEndsTheExchangeAtOnce)
{
    REQUIRE_PSEUDO_TERMINALS();
    AdapterPeer peer;
    SerialCanChannel channel(peer.path(), 115200, 250000);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    peer.objects().set(0x200C, {5});
    sdo::SdoClient client(channel, 5, 60000ms);
    sdo::Bytes value;
    ASSERT_EQ(client.upload(0x200C, 0, value, 1), sdo::Result::done());
    peer.lose();
    // Not the 60 s answer timeout: the failure of the line itself.
    EXPECT_EQ(client.upload(0x200C, 0, value, 1), sdo::Result::transport());
    EXPECT_EQ(client.download(0x200C, 0, {1}), sdo::Result::transport());
}
