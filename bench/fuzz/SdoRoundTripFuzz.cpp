// The SDO client and server against each other on an in-memory bus: any value written to an
// object is read back unchanged, whatever its length (expedited, segmented, block, empty, too
// long), whether the server offers block uploads or not.
#include "canbus/InMemoryBus.h"
#include "sdo/SdoClient.h"
#include "sdo/SdoServer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>

using namespace korvane;

namespace {

constexpr uint8_t kNode = 5;

class Store : public sdo::ObjectDictionary {
public:
    uint32_t read(uint16_t index, uint8_t subIndex, sdo::Bytes& value) override
    {
        const auto it = objects_.find({index, subIndex});
        if (it == objects_.end())
            return sdo::NoSuchObject;
        value = it->second;
        return 0;
    }
    uint32_t write(uint16_t index, uint8_t subIndex, const sdo::Bytes& value) override
    {
        objects_[{index, subIndex}] = value;
        return 0;
    }

private:
    std::map<std::pair<uint16_t, uint8_t>, sdo::Bytes> objects_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    InMemoryBus bus;
    InMemoryBus::Station& clientStation = bus.attach();
    InMemoryBus::Station& serverStation = bus.attach();
    Store store;
    sdo::SdoServer server(store, kNode, [&](const CanFrame& frame) { serverStation.send(frame); });
    server.offerBlockUpload(input.ConsumeBool());
    serverStation.setHandler([&](const CanFrame& frame) { server.handle(frame); });
    sdo::SdoClient client(clientStation, kNode, std::chrono::milliseconds(100));
    client.setBlockSize(input.ConsumeIntegralInRange<uint8_t>(0, 127));

    while (input.remaining_bytes() > 0) {
        const auto index = input.ConsumeIntegral<uint16_t>();
        const auto subIndex = input.ConsumeIntegral<uint8_t>();
        const sdo::Bytes value = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 5000));
        const bool written = client.download(index, subIndex, value).ok();
        if (value.size() <= 4096 && !written)
            std::abort(); // the server takes downloads up to 4096 bytes
        if (!written)
            continue;
        sdo::Bytes back;
        const auto maxSize = input.ConsumeIntegralInRange<size_t>(0, 5000);
        const auto mode = input.ConsumeBool() ? sdo::SdoClient::Upload::BlockIfOffered : sdo::SdoClient::Upload::Normal;
        const bool read = client.upload(index, subIndex, back, maxSize, mode).ok();
        if (value.size() <= maxSize ? (!read || back != value) : read)
            std::abort();
    }
    return 0;
}
