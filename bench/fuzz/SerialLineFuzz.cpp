// The serial-line CAN protocol from both ends, given any bytes in chunks of any size: the PC side
// sorts them into replies and frames, the adapter side takes them as commands. Nothing crashes;
// a decoded frame encodes back to a line that decodes alike; no complete reply is left behind;
// the adapter puts only valid frames on the bus and answers only with whole replies.
#include "canbus/Slcan.h"
#include "canbus/SlcanAdapter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace korvane;

namespace {

void checkFrame(const CanFrame& frame)
{
    if (frame.id > 0x7FF || frame.length > 8)
        std::abort();
}

void checkReply(const QByteArray& reply)
{
    if (reply.isEmpty() || (!reply.endsWith(slcan::kDone) && !reply.endsWith(slcan::kRefused)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    slcan::Adapter adapter(checkReply, checkFrame,
                           input.ConsumeBool() ? slcan::Adapter::Acknowledge::Lawicel : slcan::Adapter::Acknowledge::PlainCr);
    QByteArray received;
    while (input.remaining_bytes() > 0) {
        const auto chunk = input.ConsumeBytes<char>(input.ConsumeIntegralInRange<size_t>(1, 40));
        const QByteArray bytes(chunk.data(), qsizetype(chunk.size()));
        adapter.fromPc(bytes);
        received += bytes;
        for (const slcan::Reply& reply : slcan::takeReplies(received)) {
            const auto frame = slcan::decode(reply.line);
            if (!frame)
                continue;
            checkFrame(*frame);
            QByteArray line = slcan::encode(*frame);
            if (!line.endsWith(slcan::kDone))
                std::abort();
            line.chop(1);
            if (slcan::decode(line) != frame)
                std::abort();
        }
        if (received.contains(slcan::kDone) || received.contains(slcan::kRefused))
            std::abort();
    }
    return 0;
}
