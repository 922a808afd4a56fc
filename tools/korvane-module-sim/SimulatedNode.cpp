#include "SimulatedNode.h"

#include <cstdio>

using namespace korvane;

SimulatedNode::SimulatedNode(module::ModuleState state, const QString& statePath, uint8_t node, bool verbose)
    : verbose_(verbose)
    , node_(
          std::move(state), statePath, node,
          [this](const CanFrame& frame) {
              log(">", frame);
              if (toBus_)
                  toBus_(frame);
          },
          [](const QString& error) { std::fprintf(stderr, "korvane-module-sim: %s\n", qPrintable(error)); })
{
}

void SimulatedNode::handle(const CanFrame& frame)
{
    if (frame.id > sdo::requestId(0) && frame.id < sdo::requestId(0x80)) // SDO requests to any node
        log("<", frame);
    node_.handle(frame);
}

void SimulatedNode::log(const char* direction, const CanFrame& frame) const
{
    if (verbose_)
        std::fprintf(stderr, "%s %s\n", direction, describe(frame).c_str());
}
