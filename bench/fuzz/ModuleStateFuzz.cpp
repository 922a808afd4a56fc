// The simulated module's state-file loader, given any bytes: it answers a state or names the
// fault, never crashes; and a state it accepts is written and read back unchanged.
#include "simulator/ModuleState.h"

#include <cstdlib>

using korvane::module::ModuleFaults;
using korvane::module::ModuleState;

namespace {

bool sameFaults(const ModuleFaults& a, const ModuleFaults& b)
{
    return a.open == b.open && a.read == b.read && a.write == b.write
           && a.memoryFailAfterBlocks == b.memoryFailAfterBlocks && a.readoutLength == b.readoutLength
           && a.writeLatencyMs == b.writeLatencyMs;
}

bool same(const ModuleState& a, const ModuleState& b)
{
    return a.settings == b.settings && a.clockSet == b.clockSet && a.clockOffsetMs == b.clockOffsetMs
           && a.memory == b.memory && a.configuration == b.configuration && sameFaults(a.faults, b.faults);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QDateTime now(QDate(2026, 3, 5), QTime(12, 0, 0));
    QString error;
    const auto state = korvane::module::parseModuleState(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), now, error);
    if (!state) {
        if (error.isEmpty())
            std::abort(); // a refusal must say why
        return 0;
    }
    const auto again = korvane::module::parseModuleState(korvane::module::serializeModuleState(*state), now, error);
    if (!again || !same(*state, *again))
        std::abort();
    return 0;
}
