#include "simulator/SimulatedModule.h"

#include "simulator/DeviceObjects.h"
#include "simulator/ModuleClock.h"
#include "simulator/ModuleParameters.h"

#include <chrono>
#include <thread>

namespace korvane::module {

using namespace korvane::sdo;

namespace {

Bytes bytesOf(const QByteArray& text) { return Bytes(text.begin(), text.end()); }

uint32_t fromLittleEndian(const Bytes& bytes)
{
    uint32_t value = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        value |= uint32_t(bytes[i]) << (8 * i);
    return value;
}

// Returns the parameter number of an object, or 0 for no parameter of this module: it has those
// of the tool's table.
uint16_t parameterOf(uint16_t index)
{
    if (index < kFirstIndex || index > kLastIndex || !driver::FindParameter(uint16_t(index - kFirstIndex)))
        return 0;
    return uint16_t(index - kFirstIndex);
}

} // namespace

SimulatedModule::SimulatedModule(ModuleState state, Persist persist, Clock pcClock)
    : state_(std::move(state)), persist_(std::move(persist)), pcClock_(std::move(pcClock))
{
}

QDateTime SimulatedModule::pcNow() const
{
    return takenAt_ ? *takenAt_ : pcClock_();
}

QDateTime SimulatedModule::now() const
{
    return moduleClock(pcNow(), state_.clockOffsetMs);
}

uint32_t SimulatedModule::read(uint16_t index, uint8_t subIndex, Bytes& value)
{
    if (isCommunicationObject(index))
        return readDeviceObject(state_.identity, index, subIndex, value);
    const uint16_t number = parameterOf(index);
    if (!number)
        return NoSuchObject;
    if (subIndex != 0)
        return NoSuchSubIndex;
    if (state_.faults.read.count(number))
        return NoSuchObject; // as a module without that parameter answers
    return readParameter(number, value);
}

uint32_t SimulatedModule::write(uint16_t index, uint8_t subIndex, const Bytes& value)
{
    if (isCommunicationObject(index))
        return writeDeviceObject(state_.identity, index, subIndex);
    const uint16_t number = parameterOf(index);
    if (!number)
        return NoSuchObject;
    if (subIndex != 0)
        return NoSuchSubIndex;
    if (state_.faults.write.count(number))
        return HardwareError;
    // A slow bus: the module takes the value half the latency after the request set out, the answer
    // takes the other half. The moment is fixed first, so a late wake-up here cannot move it.
    const uint32_t latencyMs = state_.faults.writeLatencyMs;
    takenAt_ = pcClock_().addMSecs(latencyMs / 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs));
    const uint32_t result = writeParameter(number, value);
    takenAt_.reset();
    return result;
}

uint32_t SimulatedModule::readParameter(uint16_t number, Bytes& value)
{
    if (const Setting* setting = findSetting(number)) {
        value = littleEndian(state_.settings.at(number), setting->size);
        return 0;
    }
    switch (number) {
    case ModuleTime: value = bytesOf(moduleTimeText(now())); return 0;
    case ModuleDate: value = bytesOf(moduleDateText(now())); return 0;
    case MemoryData: return nextMemoryBlock(value);
    case BlankStatus: value = {uint8_t(state_.memory.isEmpty() ? 1 : 0)}; return 0;
    case ConfigurationData:
        value = bytesOf(state_.configuration ? *state_.configuration : configurationRecord(state_));
        return 0;
    case ReadoutLength: {
        const auto left = uint32_t(state_.memory.size() - (readoutArmed_ ? readoutPosition_ : 0));
        value = littleEndian(state_.faults.readoutLength.value_or(left), 4);
        return 0;
    }
    default: return ReadOfWriteOnly; // 13 and 15
    }
}

uint32_t SimulatedModule::nextMemoryBlock(Bytes& value)
{
    if (!readoutArmed_)
        return WrongDeviceState;
    if (state_.faults.memoryFailAfterBlocks && blocksRead_ >= *state_.faults.memoryFailAfterBlocks)
        return HardwareError;
    const QByteArray block = state_.memory.mid(readoutPosition_, qsizetype(kMaxArray));
    readoutPosition_ += block.size();
    ++blocksRead_;
    value = bytesOf(block);
    return 0;
}

uint32_t SimulatedModule::writeParameter(uint16_t number, const Bytes& value)
{
    if (const Setting* setting = findSetting(number)) {
        if (value.size() != setting->size)
            return LengthMismatch;
        ModuleState changed = state_;
        changed.settings[number] = fromLittleEndian(value);
        return commit(std::move(changed));
    }
    const QByteArray text(reinterpret_cast<const char*>(value.data()), qsizetype(value.size()));
    switch (number) {
    case ModuleTime: {
        const auto time = parseModuleTime(text);
        return time ? setClock(QDateTime(now().date(), *time)) : ValueOutOfRange;
    }
    case ModuleDate: {
        const auto date = parseModuleDate(text);
        return date ? setClock(QDateTime(*date, now().time())) : ValueOutOfRange;
    }
    case EraseCommand: {
        if (value.size() != 4)
            return LengthMismatch;
        if (fromLittleEndian(value) != kEraseKey)
            return ValueOutOfRange;
        ModuleState changed = state_;
        changed.memory.clear();
        readoutArmed_ = false;
        return commit(std::move(changed));
    }
    case ReadoutStart:
        if (value.size() != 1)
            return LengthMismatch;
        if (value[0] != 1)
            return ValueOutOfRange;
        readoutArmed_ = true;
        readoutPosition_ = 0;
        blocksRead_ = 0;
        return 0;
    default: return WriteOfReadOnly; // 14, 16, 17, 19
    }
}

uint32_t SimulatedModule::setClock(const QDateTime& moduleNow)
{
    ModuleState changed = state_;
    changed.clockSet = true;
    changed.clockOffsetMs = clockOffset(pcNow(), moduleNow);
    return commit(std::move(changed));
}

uint32_t SimulatedModule::commit(ModuleState changed)
{
    if (!persist_(changed))
        return CannotStore;
    state_ = std::move(changed);
    return 0;
}

QByteArray SimulatedModule::configurationRecord(const ModuleState& state)
{
    QByteArray record = "Korvane RTC/Memory Module configuration\n";
    for (const Setting& setting : kSettings) {
        record += QByteArray(setting.name.data(), qsizetype(setting.name.size())) + '='
                + QByteArray::number(state.settings.at(setting.number)) + '\n';
    }
    return record;
}

} // namespace korvane::module
