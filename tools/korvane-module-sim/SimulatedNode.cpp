#include "SimulatedNode.h"

#include <QTimer>

#include <cstdio>

using namespace korvane;

SimulatedNode::SimulatedNode(module::ModuleState state, const QString& statePath, std::optional<uint8_t> node,
                             bool verbose, ToBus& toBus)
    : verbose_(verbose)
    , toBus_(toBus)
    , node_(
          std::move(state), statePath,
          [this](const CanFrame& frame) {
              log(">", frame);
              if (toBus_)
                  toBus_(frame);
          },
          [](const QString& error) { std::fprintf(stderr, "korvane-module-sim: %s\n", qPrintable(error)); }, node)
    , heartbeat_(new QTimer(this))
{
    connect(heartbeat_, &QTimer::timeout, this, [this] { node_.heartbeat(); });
}

void SimulatedNode::start()
{
    node_.bootUp();
    if (node_.heartbeatPeriod().count() > 0)
        heartbeat_->start(node_.heartbeatPeriod());
}

void SimulatedNode::handle(const CanFrame& frame)
{
    if (frame.id == sdo::requestId(node_.nodeId()))
        log("<", frame);
    node_.handle(frame);
}

void SimulatedNode::log(const char* direction, const CanFrame& frame) const
{
    if (verbose_)
        std::fprintf(stderr, "%s %s\n", direction, describe(frame).c_str());
}

void SimulatedNodes::start()
{
    for (const auto& node : nodes_)
        node->start();
}

void SimulatedNodes::handle(const CanFrame& frame)
{
    for (const auto& node : nodes_)
        node->handle(frame);
}
