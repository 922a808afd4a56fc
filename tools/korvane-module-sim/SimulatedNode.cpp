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

SimulatedNodes::SimulatedNodes()
    : toBus_([this](const CanFrame& frame) {
        // Boot-up and heartbeats go when they are due, answers after the frame they answer.
        const auto arrived = schedule_.occupy(answerFrom_.value_or(wire::Clock::now()), wire::frameTime(frame, bitRate_));
        if (toPort_)
            toPort_(frame, arrived);
    })
{
}

void SimulatedNodes::setTiming(uint32_t bitRate, std::chrono::microseconds latency)
{
    bitRate_ = bitRate;
    latency_ = latency;
}

void SimulatedNodes::handle(const CanFrame& frame, wire::Clock::time_point sent)
{
    answerFrom_ = schedule_.occupy(sent, wire::frameTime(frame, bitRate_)) + latency_;
    for (const auto& node : nodes_)
        node->handle(frame);
    answerFrom_.reset();
}
