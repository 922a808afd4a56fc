#include "simulator/ModuleNode.h"

#include "simulator/StateFile.h"

namespace korvane::module {

ModuleNode::ModuleNode(ModuleState state, const QString& statePath, uint8_t node, Send send, Complain complain)
    : module_(std::move(state),
              [statePath, complain = std::move(complain)](const ModuleState& changed) {
                  QString error;
                  if (saveStateFile(statePath, changed, error))
                      return true;
                  complain(error);
                  return false;
              })
    , server_(module_, node, std::move(send))
{
}

} // namespace korvane::module
