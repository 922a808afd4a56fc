// The simulated clock-and-memory module: its parameters as an SDO object dictionary. Every change
// is handed to `persist` before it counts, so a change that cannot be kept is refused.
#pragma once

#include "simulator/ModuleState.h"
#include "sdo/ObjectDictionary.h"

#include <functional>
#include <optional>

namespace korvane::module {

class SimulatedModule : public sdo::ObjectDictionary {
public:
    using Persist = std::function<bool(const ModuleState&)>;
    using Clock = std::function<QDateTime()>;

    SimulatedModule(ModuleState state, Persist persist, Clock pcClock = &QDateTime::currentDateTime);

    uint32_t read(uint16_t index, uint8_t subIndex, sdo::Bytes& value) override;
    uint32_t write(uint16_t index, uint8_t subIndex, const sdo::Bytes& value) override;

    const ModuleState& state() const { return state_; }

    // The record of parameter 17 when the state gives none.
    static QByteArray configurationRecord(const ModuleState& state);

private:
    uint32_t readParameter(uint16_t number, sdo::Bytes& value);
    uint32_t writeParameter(uint16_t number, const sdo::Bytes& value);
    uint32_t nextMemoryBlock(sdo::Bytes& value);
    uint32_t setClock(const QDateTime& moduleNow);
    // Keeps `changed` as the module's state if it can be stored.
    uint32_t commit(ModuleState changed);
    QDateTime pcNow() const; // the PC clock, or the moment a write in progress takes its value
    QDateTime now() const;

    ModuleState state_;
    Persist persist_;
    Clock pcClock_;
    std::optional<QDateTime> takenAt_;

    // The read-out armed by parameter 15; not part of the kept state.
    bool readoutArmed_ = false;
    qsizetype readoutPosition_ = 0;
    uint32_t blocksRead_ = 0;
};

} // namespace korvane::module
