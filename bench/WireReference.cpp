#include "WireReference.h"

#include "canbus/InMemoryBus.h"
#include "canbus/Slcan.h"
#include "canbus/WireTime.h"
#include "sdo/SdoClient.h"
#include "sdo/SdoServer.h"
#include "simulator/ModuleParameters.h"
#include "simulator/SimulatedModule.h"

namespace bench {

double readoutWireSeconds(const korvane::module::ModuleState& state, uint8_t blockSize, uint32_t lineRate)
{
    using namespace korvane;
    const uint32_t bitRate = state.settings.at(module::Baud);
    const auto latency = std::chrono::microseconds(state.bus.answerLatencyUs);
    const auto line = [lineRate](const CanFrame& frame) { return wire::lineTime(slcan::encode(frame).size(), lineRate); };
    // Virtual time from zero: `now` is when the tool has the module's last frame and answers.
    wire::Schedule bus, fromPc, toPc;
    wire::Clock::time_point now{}, answerFrom{};

    InMemoryBus memoryBus;
    InMemoryBus::Station& tool = memoryBus.attach();
    InMemoryBus::Station& moduleStation = memoryBus.attach();
    module::SimulatedModule module(state, [](const module::ModuleState&) { return true; });
    const auto node = uint8_t(state.settings.at(module::NodeId));
    sdo::SdoServer server(module, node, [&](const CanFrame& frame) {
        const auto end = bus.occupy(answerFrom, wire::frameTime(frame, bitRate));
        now = lineRate ? toPc.occupy(end, line(frame)) : end;
        moduleStation.send(frame);
    });
    moduleStation.setHandler([&](const CanFrame& frame) {
        auto sent = now;
        if (lineRate) {
            sent = fromPc.occupy(now, line(frame));
            toPc.occupy(sent, wire::lineTime(2, lineRate)); // the adapter's "z" acknowledgement
        }
        answerFrom = bus.occupy(sent, wire::frameTime(frame, bitRate)) + latency;
        server.handle(frame);
    });

    sdo::SdoClient client(tool, node, std::chrono::seconds(1));
    client.setBlockSize(blockSize);
    sdo::Bytes value;
    client.download(module::objectIndex(module::ReadoutStart).value(), 0, {1});
    client.upload(module::objectIndex(module::ReadoutLength).value(), 0, value, 4);
    do
        client.upload(module::objectIndex(module::MemoryData).value(), 0, value, module::kMaxArray,
                      sdo::SdoClient::Upload::BlockIfOffered);
    while (!value.empty());
    return std::chrono::duration<double>(now - wire::Clock::time_point{}).count();
}

} // namespace bench
