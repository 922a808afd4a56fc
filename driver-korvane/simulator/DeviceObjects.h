// The CiA 301 objects of the simulated module (0x1000-0x1FFF), served from its identity. All of
// them are read-only here: the heartbeat time, too, comes from the state file.
#pragma once

#include "sdo/SdoProtocol.h"
#include "simulator/ModuleState.h"

namespace korvane::module {

// No standard device profile: the module's objects are its maker's own.
constexpr uint32_t kDeviceType = 0x00000000;

constexpr bool isCommunicationObject(uint16_t index) { return index >= 0x1000 && index <= 0x1FFF; }

// Both answer 0 or the abort code, as ObjectDictionary does.
uint32_t readDeviceObject(const ModuleIdentity& identity, uint16_t index, uint8_t subIndex, sdo::Bytes& value);
uint32_t writeDeviceObject(const ModuleIdentity& identity, uint16_t index, uint8_t subIndex);

} // namespace korvane::module
