// The SDO client against a server that answers anything: the fuzz input chooses the transfer and
// every frame the client receives (or a time-out, or a lost adapter). The client must end each
// transfer with a result, send only well-formed requests and never deliver more than asked for,
// in normal and in block uploads.
#include "sdo/SdoClient.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace korvane;

namespace {

constexpr uint8_t kNode = 5;

class ScriptedChannel : public CanChannel {
public:
    explicit ScriptedChannel(FuzzedDataProvider& input) : input_(input) {}

    bool open() override { return true; }

    bool send(const CanFrame& frame) override
    {
        if (frame.id != sdo::requestId(kNode) || frame.length != 8)
            std::abort();
        return input_.remaining_bytes() == 0 || input_.ConsumeIntegralInRange(0, 31) != 0;
    }

    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds) override
    {
        if (input_.remaining_bytes() == 0)
            return ReceiveStatus::TimedOut;
        switch (input_.ConsumeIntegralInRange(0, 15)) {
        case 0: return ReceiveStatus::TimedOut;
        case 1: return ReceiveStatus::Failed;
        case 2: frame.id = input_.ConsumeIntegralInRange<uint32_t>(0, 0x7FF); break;
        default: frame.id = sdo::responseId(kNode);
        }
        frame.length = input_.ConsumeBool() ? input_.ConsumeIntegralInRange<uint8_t>(0, 8) : 8;
        for (uint8_t& byte : frame.data)
            byte = input_.ConsumeIntegral<uint8_t>();
        return ReceiveStatus::Received;
    }

private:
    FuzzedDataProvider& input_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool upload = input.ConsumeBool();
    const auto index = input.ConsumeIntegral<uint16_t>();
    const auto subIndex = input.ConsumeIntegral<uint8_t>();
    const auto blockSize = input.ConsumeIntegralInRange<uint8_t>(0, 127);
    const auto mode = input.ConsumeBool() ? sdo::SdoClient::Upload::BlockIfOffered : sdo::SdoClient::Upload::Normal;
    ScriptedChannel channel(input);
    sdo::SdoClient client(channel, kNode, std::chrono::milliseconds(0));
    client.setBlockSize(blockSize);
    if (upload) {
        const auto maxSize = input.ConsumeIntegralInRange<size_t>(0, 300);
        sdo::Bytes value;
        if (client.upload(index, subIndex, value, maxSize, mode).ok() && value.size() > maxSize)
            std::abort();
    } else {
        const sdo::Bytes value = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 300));
        client.download(index, subIndex, value);
    }
    return 0;
}
