// SDO client and server on an in-memory bus, checked frame by frame against the protocol.
#include "canbus/InMemoryBus.h"
#include "canbus/WireTime.h"
#include "sdo/ObjectDictionary.h"
#include "sdo/SdoClient.h"
#include "sdo/SdoServer.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

using namespace korvane;
using namespace korvane::sdo;
using namespace std::chrono_literals;

namespace {

CanFrame canFrame(uint32_t id, std::initializer_list<uint8_t> bytes)
{
    CanFrame f;
    f.id = id;
    f.length = uint8_t(bytes.size());
    std::copy(bytes.begin(), bytes.end(), f.data.begin());
    return f;
}

struct Dictionary : ObjectDictionary {
    std::map<uint16_t, Bytes> objects;
    uint32_t refuseWrites = 0;
    uint32_t read(uint16_t index, uint8_t sub, Bytes& value) override
    {
        const auto it = objects.find(index);
        if (it == objects.end())
            return NoSuchObject;
        if (sub != 0)
            return NoSuchSubIndex;
        value = it->second;
        return 0;
    }
    uint32_t write(uint16_t index, uint8_t, const Bytes& value) override
    {
        if (refuseWrites)
            return refuseWrites;
        objects[index] = value;
        return 0;
    }
};

// A client, an optional server for node 5, and a listener that records every frame on the bus.
struct Bus {
    InMemoryBus bus;
    InMemoryBus::Station& clientStation = bus.attach();
    InMemoryBus::Station& serverStation = bus.attach();
    InMemoryBus::Station& listener = bus.attach();
    Dictionary dictionary;
    SdoServer server{dictionary, 5, [this](const CanFrame& f) { serverStation.send(f); }};
    SdoClient client{clientStation, 5, 50ms};

    void serve() { serverStation.setHandler([this](const CanFrame& f) { server.handle(f); }); }
    // The server station answers each request with the next scripted frames instead.
    void script(std::deque<std::vector<CanFrame>> answers)
    {
        serverStation.setHandler([this, answers = std::move(answers)](const CanFrame& request) mutable {
            if (request.id != 0x605 || answers.empty())
                return;
            const auto frames = answers.front();
            answers.pop_front();
            for (const CanFrame& f : frames)
                serverStation.send(f);
        });
    }
    std::vector<std::string> traffic()
    {
        std::vector<std::string> frames;
        CanFrame f;
        while (listener.receive(f, 0ms) == ReceiveStatus::Received)
            frames.push_back(describe(f));
        return frames;
    }
};

Bytes sequence(size_t size, uint8_t first = 0xD0)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(first + i);
    return bytes;
}

} // namespace

TEST(SdoTransfer, ExpeditedReadOfOneByte)
{
    Bus b;
    b.serve();
    b.dictionary.objects[0x2001] = {0x2A};
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2001, 0, value, 1), Result::done());
    EXPECT_EQ(value, Bytes{0x2A});
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{"605  40 01 20 00 00 00 00 00", "585  4F 01 20 00 2A 00 00 00"}));
}

TEST(SdoTransfer, ExpeditedWriteOfFourBytes)
{
    Bus b;
    b.serve();
    EXPECT_EQ(b.client.download(0x2002, 0, {0x90, 0xD0, 0x03, 0x00}), Result::done());
    EXPECT_EQ(b.dictionary.objects[0x2002], (Bytes{0x90, 0xD0, 0x03, 0x00}));
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{"605  23 02 20 00 90 D0 03 00", "585  60 02 20 00 00 00 00 00"}));
}

TEST(SdoTransfer, SegmentedReadTogglesAndMarksTheLastSegment)
{
    Bus b;
    b.serve();
    b.dictionary.objects[0x2003] = sequence(20);
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2003, 0, value, 255), Result::done());
    EXPECT_EQ(value, sequence(20));
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{
                               "605  40 03 20 00 00 00 00 00", "585  41 03 20 00 14 00 00 00",
                               "605  60 00 00 00 00 00 00 00", "585  00 D0 D1 D2 D3 D4 D5 D6",
                               "605  70 00 00 00 00 00 00 00", "585  10 D7 D8 D9 DA DB DC DD",
                               "605  60 00 00 00 00 00 00 00", "585  03 DE DF E0 E1 E2 E3 00"}));
}

TEST(SdoTransfer, SegmentedWriteTogglesAndMarksTheLastSegment)
{
    Bus b;
    b.serve();
    EXPECT_EQ(b.client.download(0x2006, 0, sequence(8, 0x30)), Result::done());
    EXPECT_EQ(b.dictionary.objects[0x2006], sequence(8, 0x30));
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{
                               "605  21 06 20 00 08 00 00 00", "585  60 06 20 00 00 00 00 00",
                               "605  00 30 31 32 33 34 35 36", "585  20 00 00 00 00 00 00 00",
                               "605  1D 37 00 00 00 00 00 00", "585  30 00 00 00 00 00 00 00"}));
}

TEST(SdoTransfer, EmptyArrayTravelsSegmentedInOneEmptySegment)
{
    Bus b;
    b.serve();
    EXPECT_EQ(b.client.download(0x2011, 0, {}), Result::done());
    Bytes value{1, 2};
    EXPECT_EQ(b.client.upload(0x2011, 0, value, 255), Result::done());
    EXPECT_TRUE(value.empty());
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{
                               "605  21 11 20 00 00 00 00 00", "585  60 11 20 00 00 00 00 00",
                               "605  0F 00 00 00 00 00 00 00", "585  20 00 00 00 00 00 00 00",
                               "605  40 11 20 00 00 00 00 00", "585  41 11 20 00 00 00 00 00",
                               "605  60 00 00 00 00 00 00 00", "585  0F 00 00 00 00 00 00 00"}));
}

TEST(SdoTransfer, LongestArrayTakesSeventySixFrames)
{
    Bus b;
    b.serve();
    b.dictionary.objects[0x200E] = sequence(255, 0);
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255), Result::done());
    EXPECT_EQ(value, sequence(255, 0));
    EXPECT_EQ(b.traffic().size(), 76u);
    EXPECT_EQ(b.client.download(0x200F, 0, sequence(255, 1)), Result::done());
    EXPECT_EQ(b.dictionary.objects[0x200F], sequence(255, 1));
}

TEST(SdoTransfer, ArraysOfUpToFourBytesGoExpedited)
{
    Bus b;
    b.serve();
    EXPECT_EQ(b.client.download(0x2010, 0, {7, 8, 9}), Result::done());
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2010, 0, value, 255), Result::done());
    EXPECT_EQ(value, (Bytes{7, 8, 9}));
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{
                               "605  27 10 20 00 07 08 09 00", "585  60 10 20 00 00 00 00 00",
                               "605  40 10 20 00 00 00 00 00", "585  47 10 20 00 07 08 09 00"}));
}

TEST(SdoAbort, ServerRefusalReachesTheClientAsItsCode)
{
    Bus b;
    b.serve();
    Bytes value;
    const Result refused = b.client.upload(0x2001, 0, value, 1);
    EXPECT_EQ(refused, Result::module(NoSuchObject));
    EXPECT_EQ(b.client.describe(refused), "the module aborted the transfer: 0x06020000 object does not exist");
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{"605  40 01 20 00 00 00 00 00", "585  80 01 20 00 00 00 02 06"}));
    b.dictionary.refuseWrites = ValueOutOfRange;
    EXPECT_EQ(b.client.download(0x2006, 0, sequence(10)), Result::module(ValueOutOfRange));
    b.dictionary.objects[0x2001] = {1};
    EXPECT_EQ(b.client.upload(0x2001, 1, value, 1), Result::module(NoSuchSubIndex));
}

TEST(SdoAbort, AnyCodeTheModuleAbortsWithIsTheModulesAbort)
{
    Bus b;
    b.script({{canFrame(0x585, {0x80, 0x01, 0x20, 0, 0, 0, 0, 0})}, {canFrame(0x585, {0x80, 0x01, 0x20, 0, 0x78, 0x56, 0x34, 0x12})}});
    Bytes value;
    const Result zero = b.client.upload(0x2001, 0, value, 1);
    EXPECT_EQ(zero, Result::module(0)); // no success and no lost adapter
    EXPECT_EQ(b.client.describe(zero), "the module aborted the transfer: 0x00000000");
    const Result unknown = b.client.upload(0x2001, 0, value, 1);
    EXPECT_EQ(unknown, Result::module(0x12345678));
    EXPECT_EQ(b.client.describe(unknown), "the module aborted the transfer: 0x12345678");
}

TEST(SdoTimeout, SilentServerGetsAnAbortAndTheCallFails)
{
    Bus b; // nobody serves node 5
    Bytes value;
    const Result silence = b.client.upload(0x2001, 0, value, 1);
    EXPECT_EQ(silence, Result::us(ProtocolTimedOut));
    EXPECT_EQ(b.client.describe(silence),
              "no answer from node-ID 5 within 50 ms; nothing was heard on the bus: the bit rate may be wrong, or no module is connected");
    EXPECT_EQ(b.traffic(), (std::vector<std::string>{"605  40 01 20 00 00 00 00 00", "605  80 01 20 00 00 00 04 05"}));
    // Its heartbeat heard, the module is on the bus at our rate: no word on the bit rate.
    b.serverStation.send(canFrame(0x705, {0x7F}));
    EXPECT_EQ(b.client.describe(b.client.upload(0x2001, 0, value, 1)), "no answer from node-ID 5 within 50 ms");
}

TEST(SdoTimeout, ABusOffControllerIsNoSilentModule)
{
    // Sends into nothing and says, when asked, that its controller is bus-off.
    struct BusOff : CanChannel {
        int sent = 0;
        bool open() override { return true; }
        bool send(const CanFrame&) override { return ++sent, true; }
        ReceiveStatus receive(CanFrame&, std::chrono::milliseconds) override { return ReceiveStatus::TimedOut; }
        BusState busState() override { return BusState::Off; }
    } channel;
    SdoClient client(channel, 5, 10ms);
    Bytes value;
    const Result result = client.upload(0x200E, 0, value, 255);
    EXPECT_EQ(result, Result::transport());
    EXPECT_EQ(client.describe(result), "the bus is off");
    EXPECT_EQ(channel.sent, 1); // the request; no abort into a bus that takes none
}

TEST(SdoTimeout, ServerFallingSilentMidTransfer)
{
    Bus b;
    b.script({{canFrame(0x585, {0x41, 0x0E, 0x20, 0, 20, 0, 0, 0})}});
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255), Result::us(ProtocolTimedOut));
    EXPECT_EQ(b.traffic().back(), "605  80 0E 20 00 00 00 04 05");
}

TEST(SdoClientChecks, OtherNodesTrafficIsIgnored)
{
    Bus b;
    b.script({{canFrame(0x586, {0x4F, 0x01, 0x20, 0, 0x11, 0, 0, 0}), canFrame(0x605, {0x40, 1, 0x20, 0, 0, 0, 0, 0}),
               canFrame(0x585, {0x4F, 0x01, 0x20, 0, 0x2A, 0, 0, 0})}});
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2001, 0, value, 1), Result::done());
    EXPECT_EQ(value, Bytes{0x2A});
}

TEST(SdoClientChecks, StaleAnswersAreDroppedBeforeATransfer)
{
    Bus b;
    b.serve();
    b.dictionary.objects[0x2001] = {0x2A};
    b.serverStation.send(canFrame(0x585, {0x4F, 0x01, 0x20, 0, 0x99, 0, 0, 0})); // late answer of an old transfer
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2001, 0, value, 1), Result::done());
    EXPECT_EQ(value, Bytes{0x2A});
}

TEST(SdoClientChecks, AnswerForAnotherObjectIsAProtocolError)
{
    Bus b;
    b.script({{canFrame(0x585, {0x4F, 0x02, 0x20, 0, 0x2A, 0, 0, 0})}});
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2001, 0, value, 1), Result::us(UnknownCommand));
    EXPECT_EQ(b.traffic().back(), "605  80 01 20 00 01 00 04 05");
}

TEST(SdoClientChecks, WrongAnswerTypeIsAProtocolError)
{
    Bus b;
    b.script({{canFrame(0x585, {0x60, 0x01, 0x20, 0, 0, 0, 0, 0})}});
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2001, 0, value, 1), Result::us(UnknownCommand));
    Bus c;
    c.script({{canFrame(0x585, {0x4F, 0x01, 0x20, 0})}}); // short frame
    EXPECT_EQ(c.client.upload(0x2001, 0, value, 1), Result::us(UnknownCommand));
}

TEST(SdoClientChecks, ToggleNotAlternatedByTheServer)
{
    Bus b;
    b.script({{canFrame(0x585, {0x41, 0x0E, 0x20, 0, 20, 0, 0, 0})},
              {canFrame(0x585, {0x00, 1, 2, 3, 4, 5, 6, 7})},
              {canFrame(0x585, {0x00, 1, 2, 3, 4, 5, 6, 7})}}); // should have been 0x10
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255), Result::us(ToggleNotAlternated));
    EXPECT_EQ(b.traffic().back(), "605  80 0E 20 00 00 00 03 05");
}

TEST(SdoClientChecks, AnswersLongerThanWantedAreRefused)
{
    Bus b;
    b.script({{canFrame(0x585, {0x41, 0x0E, 0x20, 0, 0x00, 0x01, 0, 0})}}); // 256 bytes announced
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255), Result::us(LengthTooHigh));
    Bus c;
    c.script({{canFrame(0x585, {0x43, 0x0C, 0x20, 0, 1, 2, 3, 4})}}); // four bytes for a u8
    EXPECT_EQ(c.client.upload(0x200C, 0, value, 1), Result::us(LengthTooHigh));
    Bus d; // more segments than announced
    d.script({{canFrame(0x585, {0x41, 0x0E, 0x20, 0, 3, 0, 0, 0})}, {canFrame(0x585, {0x00, 1, 2, 3, 4, 5, 6, 7})}});
    EXPECT_EQ(d.client.upload(0x200E, 0, value, 255), Result::us(LengthTooHigh));
}

TEST(SdoClientChecks, LastSegmentShortOfTheAnnouncedSize)
{
    Bus b;
    b.script({{canFrame(0x585, {0x41, 0x0E, 0x20, 0, 10, 0, 0, 0})}, {canFrame(0x585, {0x0B, 1, 2, 3, 4, 0, 0, 0})}});
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255), Result::us(LengthMismatch));
}

TEST(SdoServerChecks, RequestsForOtherNodesGetNoAnswer)
{
    Bus b;
    b.serve();
    b.dictionary.objects[0x2001] = {1};
    b.clientStation.send(canFrame(0x606, {0x40, 0x01, 0x20, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.traffic().size(), 1u);
}

TEST(SdoServerChecks, OutOfOrderRequestsAreAborted)
{
    Bus b;
    b.server.offerBlockUpload(false);
    b.serve();
    b.dictionary.objects[0x2001] = sequence(20);
    auto answer = [&](std::initializer_list<uint8_t> request) {
        b.traffic();
        b.clientStation.send(canFrame(0x605, request));
        const auto frames = b.traffic();
        return frames.size() == 2 ? frames[1] : std::string("no answer");
    };
    EXPECT_EQ(answer({0x60, 0, 0, 0, 0, 0, 0, 0}), "585  80 00 00 00 01 00 04 05");  // segment without transfer
    EXPECT_EQ(answer({0xE0, 0x01, 0x20, 0, 0, 0, 0, 0}), "585  80 01 20 00 01 00 04 05"); // unknown command
    EXPECT_EQ(answer({0x40, 0x01, 0x20, 0}), "585  80 01 20 00 01 00 04 05"); // not eight bytes
    EXPECT_EQ(answer({0xA4, 0x01, 0x20, 0, 0x7F, 0, 0, 0}), "585  80 01 20 00 01 00 04 05"); // block upload not offered
    answer({0x40, 0x01, 0x20, 0, 0, 0, 0, 0});
    EXPECT_EQ(answer({0x70, 0, 0, 0, 0, 0, 0, 0}), "585  80 01 20 00 00 00 03 05"); // first toggle must be 0
    answer({0x40, 0x01, 0x20, 0, 0, 0, 0, 0});
    EXPECT_EQ(answer({0x80, 0x01, 0x20, 0, 0, 0, 0, 0}), "no answer"); // the client's abort is not answered
    EXPECT_EQ(answer({0x60, 0, 0, 0, 0, 0, 0, 0}), "585  80 01 20 00 01 00 04 05"); // and ended the transfer
}

TEST(SdoServerChecks, DownloadToggleAndSizeAreEnforced)
{
    Bus b;
    b.serve();
    auto answer = [&](std::initializer_list<uint8_t> request) {
        b.traffic();
        b.clientStation.send(canFrame(0x605, request));
        return b.traffic().back();
    };
    answer({0x21, 0x06, 0x20, 0, 8, 0, 0, 0});
    EXPECT_EQ(answer({0x10, 1, 2, 3, 4, 5, 6, 7}), "585  80 06 20 00 00 00 03 05");
    answer({0x21, 0x06, 0x20, 0, 3, 0, 0, 0});
    EXPECT_EQ(answer({0x00, 1, 2, 3, 4, 5, 6, 7}), "585  80 06 20 00 12 00 07 06"); // more than announced
    answer({0x21, 0x06, 0x20, 0, 9, 0, 0, 0});
    EXPECT_EQ(answer({0x0B, 1, 2, 3, 4, 0, 0, 0}), "585  80 06 20 00 10 00 07 06"); // less than announced
    EXPECT_EQ(answer({0x21, 0x06, 0x20, 0, 0x00, 0x00, 0x01, 0}), "585  80 06 20 00 12 00 07 06"); // absurd size
    EXPECT_TRUE(b.dictionary.objects.empty());
    // A download whose initiate states no size is taken as it comes.
    answer({0x20, 0x06, 0x20, 0, 0, 0, 0, 0});
    EXPECT_EQ(answer({0x05, 1, 2, 3, 4, 5, 0, 0}), "585  20 00 00 00 00 00 00 00");
    EXPECT_EQ(b.dictionary.objects[0x2006], (Bytes{1, 2, 3, 4, 5}));
}

TEST(SdoBlockUpload, LongestArrayTakesFortyThreeFrames)
{
    Bus b;
    b.serve();
    b.client.setBlockSize(127);
    b.dictionary.objects[0x200E] = sequence(255, 0);
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    EXPECT_EQ(value, sequence(255, 0));
    const auto frames = b.traffic();
    ASSERT_EQ(frames.size(), 43u);
    EXPECT_EQ(frames[0], "605  A4 0E 20 00 7F 20 00 00");
    EXPECT_EQ(frames[1], "585  C6 0E 20 00 FF 00 00 00");
    EXPECT_EQ(frames[2], "605  A3 00 00 00 00 00 00 00");
    EXPECT_EQ(frames[3], "585  01 00 01 02 03 04 05 06");
    EXPECT_EQ(frames[39], "585  A5 FC FD FE 00 00 00 00"); // segment 37, the last: 3 bytes
    EXPECT_EQ(frames[40], "605  A2 25 7F 00 00 00 00 00");
    const uint16_t crc = blockCrc(sequence(255, 0));
    char end[64];
    std::snprintf(end, sizeof end, "585  D1 %02X %02X 00 00 00 00 00", crc & 0xFF, crc >> 8);
    EXPECT_EQ(frames[41], end);
    EXPECT_EQ(frames[42], "605  A1 00 00 00 00 00 00 00");
}

TEST(TimedBus, FramesTakeTheirBitsOnTheWireOneAtATime)
{
    // Start of frame to CRC, stuffed, then the 13 bits of delimiters, end of frame and intermission.
    // 000000000000000000 and CRC 0: 34 zeros, a stuff bit after every fifth.
    EXPECT_EQ(wire::frameBits(canFrame(0x000, {})), 34 + 6 + 13);
    // 0 11111111111 000 0000, CRC 010011100101111: stuffed 0111110111110100000100010011100101111.
    EXPECT_EQ(wire::frameBits(canFrame(0x7FF, {})), 34 + 3 + 13);
    // 0 10110000101 000 1000 FF..FF, CRC 100000111110101: 12 stuff bits in the 64 ones, one after
    // their last four and the CRC's first one, one each in the CRC's five zeros and five ones.
    EXPECT_EQ(wire::frameBits(canFrame(0x585, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), 98 + 15 + 13);

    Bus b;
    b.serve();
    b.client.setBlockSize(127);
    b.dictionary.objects[0x200E] = sequence(255, 0);
    constexpr uint32_t bitRate = 125000;
    constexpr auto latency = 300us;
    b.bus.setTiming(bitRate, latency);
    Bytes value;
    const auto start = wire::Clock::now();
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    const auto took = wire::Clock::now() - start;
    EXPECT_EQ(value, sequence(255, 0));
    // The client's last frame is on its way when the upload returns.
    std::chrono::nanoseconds wireTime(0);
    CanFrame f;
    for (int i = 0; i < 42; ++i) {
        ASSERT_EQ(b.listener.receive(f, 100ms), ReceiveStatus::Received);
        wireTime += wire::frameTime(f, bitRate);
    }
    // The server answers the initiate, the start (with all 37 segments) and the acknowledge.
    EXPECT_GE(took, wireTime + 3 * latency);
    EXPECT_GT(wireTime, 42 * 47 * 8us); // at least 47 bits of 8 us each
}

TEST(SdoBlockUpload, SmallBlocksAreAcknowledgedOneByOne)
{
    Bus b;
    b.serve();
    b.client.setBlockSize(2);
    b.dictionary.objects[0x200E] = sequence(40, 0);
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    EXPECT_EQ(value, sequence(40, 0));
    // 6 segments in blocks of 2: initiate 2, start 1, 3 x (2 segments + ack), end 2.
    EXPECT_EQ(b.traffic().size(), 14u);
}

TEST(SdoBlockUpload, EmptyAndSmallObjects)
{
    Bus b;
    b.serve();
    b.client.setBlockSize(127);
    b.dictionary.objects[0x200E] = {};
    b.dictionary.objects[0x2006] = sequence(8, 0x30);
    Bytes value{1};
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    EXPECT_TRUE(value.empty());
    // Up to the switch threshold the server answers with a normal upload.
    EXPECT_EQ(b.client.upload(0x2006, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    EXPECT_EQ(value, sequence(8, 0x30));
    const auto frames = b.traffic();
    EXPECT_EQ(frames[1], "585  41 0E 20 00 00 00 00 00");
    EXPECT_EQ(frames[5], "585  41 06 20 00 08 00 00 00");
}

TEST(SdoBlockUpload, ServerWithoutBlockTransferGetsNormalUploads)
{
    Bus b;
    b.server.offerBlockUpload(false);
    b.serve();
    b.client.setBlockSize(127);
    b.dictionary.objects[0x200E] = sequence(100, 0);
    Bytes value;
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    EXPECT_EQ(value, sequence(100, 0));
    const auto first = b.traffic();
    EXPECT_EQ(first[1], "585  80 0E 20 00 01 00 04 05");
    EXPECT_EQ(first[2], "605  40 0E 20 00 00 00 00 00");
    // Asked once; from then on the client goes straight to the normal upload.
    EXPECT_EQ(b.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::done());
    EXPECT_EQ(b.traffic()[0], "605  40 0E 20 00 00 00 00 00");
}

TEST(SdoBlockUpload, RefusalForAnotherReasonIsNoFallback)
{
    Bus b;
    b.serve();
    b.client.setBlockSize(127);
    Bytes value;
    EXPECT_EQ(b.client.upload(0x2055, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::module(NoSuchObject));
    EXPECT_EQ(b.traffic().size(), 2u);
}

TEST(SdoBlockUpload, DamagedTransfersAreAborted)
{
    Bytes value;
    Bus crc;
    crc.client.setBlockSize(127);
    crc.script({{canFrame(0x585, {0xC6, 0x0E, 0x20, 0, 3, 0, 0, 0})},
                {canFrame(0x585, {0x81, 1, 2, 3, 0, 0, 0, 0})},
                {canFrame(0x585, {0xD1, 0x12, 0x34, 0, 0, 0, 0, 0})}});
    EXPECT_EQ(crc.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::us(CrcError));
    EXPECT_EQ(crc.traffic().back(), "605  80 0E 20 00 04 00 04 05");

    Bus sequenceGap;
    sequenceGap.client.setBlockSize(127);
    sequenceGap.script({{canFrame(0x585, {0xC6, 0x0E, 0x20, 0, 20, 0, 0, 0})},
                        {canFrame(0x585, {0x01, 1, 2, 3, 4, 5, 6, 7}), canFrame(0x585, {0x03, 1, 2, 3, 4, 5, 6, 7})}});
    EXPECT_EQ(sequenceGap.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::us(InvalidSequence));

    Bus tooLong;
    tooLong.client.setBlockSize(127);
    tooLong.script({{canFrame(0x585, {0xC6, 0x0E, 0x20, 0, 0, 1, 0, 0})}});
    EXPECT_EQ(tooLong.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::us(LengthTooHigh));

    Bus silent; // segments stop coming
    silent.client.setBlockSize(127);
    silent.script({{canFrame(0x585, {0xC6, 0x0E, 0x20, 0, 20, 0, 0, 0})}, {canFrame(0x585, {0x01, 1, 2, 3, 4, 5, 6, 7})}});
    EXPECT_EQ(silent.client.upload(0x200E, 0, value, 255, SdoClient::Upload::BlockIfOffered), Result::us(ProtocolTimedOut));
}

TEST(SdoBlockUpload, ServerResendsFromTheLastGoodSegmentAndChecksItsInput)
{
    Bus b;
    b.serve();
    b.dictionary.objects[0x200E] = sequence(30, 0);
    auto send = [&](std::initializer_list<uint8_t> request) {
        b.traffic();
        b.clientStation.send(canFrame(0x605, request));
        auto frames = b.traffic();
        frames.erase(frames.begin());
        return frames;
    };
    EXPECT_EQ(send({0xA4, 0x0E, 0x20, 0, 0x00, 0, 0, 0}), std::vector<std::string>{"585  80 0E 20 00 02 00 04 05"});
    EXPECT_EQ(send({0xA3, 0, 0, 0, 0, 0, 0, 0}), std::vector<std::string>{"585  80 0E 20 00 01 00 04 05"});
    send({0xA4, 0x0E, 0x20, 0, 3, 0, 0, 0});
    EXPECT_EQ(send({0xA3, 0, 0, 0, 0, 0, 0, 0}).size(), 3u);
    const auto again = send({0xA2, 1, 3, 0, 0, 0, 0, 0}); // only the first arrived
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again[0], "585  01 07 08 09 0A 0B 0C 0D");
    EXPECT_EQ(send({0xA2, 9, 3, 0, 0, 0, 0, 0}), std::vector<std::string>{"585  80 0E 20 00 03 00 04 05"});
}
