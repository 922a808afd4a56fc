#include "SimulatedNode.h"

#include "simulator/StateFile.h"

#include <cstdio>

using namespace korvane;

SimulatedNode::SimulatedNode(module::ModuleState state, const QString& statePath, uint8_t node, bool verbose)
    : verbose_(verbose)
    , module_(std::move(state),
              [statePath](const module::ModuleState& changed) {
                  QString error;
                  if (module::saveStateFile(statePath, changed, error))
                      return true;
                  std::fprintf(stderr, "korvane-module-sim: %s\n", qPrintable(error));
                  return false;
              })
    , server_(module_, node, [this](const CanFrame& frame) {
        log(">", frame);
        if (toBus_)
            toBus_(frame);
    })
{
}

void SimulatedNode::handle(const CanFrame& frame)
{
    if (frame.id > sdo::requestId(0) && frame.id < sdo::requestId(0x80)) // SDO requests to any node
        log("<", frame);
    server_.handle(frame);
}

void SimulatedNode::log(const char* direction, const CanFrame& frame) const
{
    if (verbose_)
        std::fprintf(stderr, "%s %s\n", direction, describe(frame).c_str());
}
