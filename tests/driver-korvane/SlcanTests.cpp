// The serial-line ASCII protocol: frame text both ways, reply splitting, the adapter's commands.
#include "canbus/Slcan.h"
#include "canbus/SlcanAdapter.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::slcan;

namespace {

CanFrame sdoRequest()
{
    CanFrame f;
    f.id = 0x605;
    f.length = 8;
    f.data = {0x40, 0x01, 0x20, 0, 0, 0, 0, 0};
    return f;
}

} // namespace

TEST(SlcanFrames, EncodesTheProtocolReferenceExample)
{
    EXPECT_EQ(encode(sdoRequest()), "t60584001200000000000\r");
    CanFrame empty;
    empty.id = 0x7;
    EXPECT_EQ(encode(empty), "t0070\r");
}

TEST(SlcanFrames, DecodesWhatAdaptersSend)
{
    EXPECT_EQ(decode("t60584001200000000000"), sdoRequest());
    EXPECT_EQ(decode("t60584001200000000000"), decode("t60584001200000000000"));
    const auto lower = decode("t5858ab0c2000000000");
    ASSERT_FALSE(lower); // 8 announced, 7 given
    const auto mixed = decode("t58584f0c200005000000");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->data[0], 0x4F);
    EXPECT_EQ(mixed->data[4], 0x05);
    const auto stamped = decode("t100211334D67"); // with the 4-digit time stamp
    ASSERT_TRUE(stamped);
    EXPECT_EQ(stamped->id, 0x100u);
    EXPECT_EQ(stamped->length, 2);
    EXPECT_EQ(stamped->data[0], 0x11);
    EXPECT_EQ(stamped->data[1], 0x33);
}

TEST(SlcanFrames, RejectsWhatIsNoStandardDataFrame)
{
    for (const char* line : {"", "t", "t60", "t6059", "t605X", "T0000060584001200000000000", "r6058", "tXYZ0",
                             "t6052400", "t605240012", "t60524001G", "t6052-1-1", "t60524001200", "z",
                             "t8000", "tFFF0", "t0x50", "t6059000000000000000000", "t60511+1F"})
        EXPECT_FALSE(decode(line)) << line;
}

TEST(SlcanReplies, SplitsAnswersAtCrAndBel)
{
    QByteArray buffer = "\rz\r\aV1013\rt585";
    const auto replies = takeReplies(buffer);
    ASSERT_EQ(replies.size(), 4u);
    EXPECT_FALSE(replies[0].refused);
    EXPECT_EQ(replies[0].line, "");
    EXPECT_EQ(replies[1].line, "z");
    EXPECT_TRUE(replies[2].refused);
    EXPECT_EQ(replies[3].line, "V1013");
    EXPECT_EQ(buffer, "t585"); // unfinished, kept for the next bytes
    buffer += "0\r\n";
    const auto more = takeReplies(buffer);
    ASSERT_EQ(more.size(), 1u);
    EXPECT_EQ(more[0].line, "t5850");
    EXPECT_EQ(buffer, "\n");
}

TEST(SlcanReplies, OverLongLinesAreDroppedAndReadingGoesOn)
{
    QByteArray buffer = QByteArray(10000, '1');
    EXPECT_TRUE(takeReplies(buffer).empty());
    EXPECT_LE(buffer.size(), kMaxLine + 1); // garbage without line ends does not pile up
    buffer += "\rt0070\r";
    const auto replies = takeReplies(buffer);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].line, "t0070");

    QByteArray answers;
    Adapter adapter([&](const QByteArray& bytes) { answers += bytes; }, [](const CanFrame&) {});
    adapter.fromPc(QByteArray(5000, 'S'));
    adapter.fromPc("\rS5\r");
    EXPECT_EQ(answers, "\a\r"); // the over-long line refused, the next one done
}

TEST(SlcanReplies, BitRateCommands)
{
    EXPECT_EQ(bitrateCommand(10000), "S0");
    EXPECT_EQ(bitrateCommand(250000), "S5");
    EXPECT_EQ(bitrateCommand(1000000), "S8");
    EXPECT_FALSE(bitrateCommand(800000));
    EXPECT_FALSE(bitrateCommand(0));
    EXPECT_EQ(commandBitrate("S4"), 125000u);
    EXPECT_FALSE(commandBitrate("S7")); // 750k or 800k, depending on the adapter
    EXPECT_FALSE(commandBitrate("S"));
}

TEST(SlcanAdapterSide, OpensOnlyAfterABitRateAndRefusesChangesWhileOpen)
{
    QByteArray toPc;
    std::vector<CanFrame> onBus;
    Adapter adapter([&](const QByteArray& bytes) { toPc += bytes; }, [&](const CanFrame& f) { onBus.push_back(f); });
    adapter.fromPc("O\r");
    EXPECT_EQ(toPc, "\a");
    toPc.clear();
    adapter.fromPc("t60584001200000000000\r"); // closed: refused, nothing on the bus
    EXPECT_EQ(toPc, "\a");
    EXPECT_TRUE(onBus.empty());
    toPc.clear();
    adapter.fromPc("S5\rO\rS4\r");
    EXPECT_EQ(toPc, "\r\r\a");
    EXPECT_TRUE(adapter.isOpen());
    toPc.clear();
    adapter.fromPc("t6058400120");
    adapter.fromPc("0000000000\r");
    EXPECT_EQ(toPc, "z\r");
    ASSERT_EQ(onBus.size(), 1u);
    EXPECT_EQ(onBus[0], sdoRequest());
    toPc.clear();
    adapter.fromBus(sdoRequest());
    EXPECT_EQ(toPc, "t60584001200000000000\r");
    adapter.fromPc("C\r");
    toPc.clear();
    adapter.fromBus(sdoRequest()); // closed: the PC hears nothing
    EXPECT_TRUE(toPc.isEmpty());

    // Opened at another rate than the bus's: frames are taken, but neither direction gets through.
    adapter.setBusRate(250000);
    adapter.fromPc("S4\rO\rt60584001200000000000\r");
    adapter.fromBus(sdoRequest());
    EXPECT_EQ(toPc, "\r\rz\r");
    EXPECT_EQ(onBus.size(), 1u);
    adapter.fromPc("C\rS5\rO\r");
    toPc.clear();
    adapter.fromBus(sdoRequest());
    EXPECT_EQ(toPc, "t60584001200000000000\r");
}

TEST(SlcanAdapterSide, AdapterInTheWrongModeRefusesToOpen)
{
    QByteArray toPc;
    Adapter adapter([&](const QByteArray& bytes) { toPc += bytes; }, [](const CanFrame&) {}, Adapter::Acknowledge::PlainCr);
    adapter.refuseOpen(true);
    adapter.fromPc("C\rS5\rO\rX\r");
    EXPECT_EQ(toPc, "\r\r\a\a");
}
