// The simulated module's SDO server, fed any frames: every answer is a full frame on the module's
// response identifier, and no frame sequence makes it crash or buffer without end.
#include "simulator/SimulatedModule.h"
#include "sdo/SdoServer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace korvane;

namespace {

constexpr uint8_t kNode = 5;

module::ModuleState moduleState(FuzzedDataProvider& input)
{
    QString error;
    auto state = module::parseModuleState("{}", QDateTime(QDate(2026, 3, 5), QTime(12, 0)), error);
    if (!state)
        std::abort();
    const auto memory = input.ConsumeBytes<char>(input.ConsumeIntegralInRange<size_t>(0, 600));
    state->memory = QByteArray(memory.data(), qsizetype(memory.size()));
    return *state;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    module::SimulatedModule dictionary(
        moduleState(input), [](const module::ModuleState&) { return true; },
        [] { return QDateTime(QDate(2026, 3, 5), QTime(12, 0)); });
    sdo::SdoServer server(dictionary, kNode, [](const CanFrame& answer) {
        if (answer.id != sdo::responseId(kNode) || answer.length != 8)
            std::abort();
    });
    while (input.remaining_bytes() > 0) {
        CanFrame request;
        request.id = input.ConsumeIntegralInRange(0, 15) ? sdo::requestId(kNode) : input.ConsumeIntegralInRange<uint32_t>(0, 0x7FF);
        request.length = input.ConsumeIntegralInRange(0, 7) ? 8 : input.ConsumeIntegralInRange<uint8_t>(0, 8);
        // Mostly requests for the module's own objects, so the fuzzer reaches the transfers.
        const auto words = input.ConsumeBytes<uint8_t>(8);
        std::copy(words.begin(), words.end(), request.data.begin());
        if (input.ConsumeBool()) {
            request.data[1] = uint8_t(input.ConsumeIntegralInRange(3, 21));
            request.data[2] = 0x20;
            request.data[3] = 0;
        }
        server.handle(request);
    }
    return 0;
}
