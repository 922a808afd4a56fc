#include "simulator/ModuleNode.h"

#include "sdo/StandardObjects.h"
#include "simulator/ModuleParameters.h"
#include "simulator/StateFile.h"

namespace korvane::module {

uint32_t wireBitRate(const ModuleState& state) { return state.bus.wire ? ModuleNode::startingBitRate(state) : 0; }

uint8_t ModuleNode::startingNodeId(const ModuleState& state)
{
    const uint32_t stored = state.settings.at(NodeId);
    return stored >= 1 && stored <= 127 ? uint8_t(stored) : uint8_t(findSetting(NodeId)->defaultValue);
}

uint32_t ModuleNode::startingBitRate(const ModuleState& state)
{
    const uint32_t stored = state.settings.at(Baud);
    return driver::BitRatePosition(stored) ? stored : findSetting(Baud)->defaultValue;
}

ModuleNode::ModuleNode(ModuleState state, const QString& statePath, Send send, Complain complain,
                       std::optional<uint8_t> node)
    : node_(node.value_or(startingNodeId(state)))
    , send_(send)
    , module_(std::move(state),
              [statePath, complain = std::move(complain)](const ModuleState& changed) {
                  QString error;
                  if (saveStateFile(statePath, changed, error))
                      return true;
                  complain(error);
                  return false;
              })
    , server_(module_, node_, std::move(send))
{
}

void ModuleNode::bootUp() { send_(sdo::heartbeatFrame(node_, sdo::kBootUp)); }

void ModuleNode::heartbeat() { send_(sdo::heartbeatFrame(node_, sdo::kPreOperational)); }

std::chrono::milliseconds ModuleNode::heartbeatPeriod() const
{
    return std::chrono::milliseconds(module_.state().identity.heartbeatMs);
}

} // namespace korvane::module
