#include "api/BusInterface.h"

#include "api/BusTransports.h"

#include <cerrno>

namespace korvane::api {

namespace {

// Segments per block of a block upload: a CAN adapter's socket buffers a whole block of 127;
// serial-line adapters have small receive buffers and no flow control.
constexpr uint8_t kCanBlockSize = 127;
constexpr uint8_t kSerialBlockSize = 16;

} // namespace

std::unique_ptr<Interface> BusInterface::open(const config::InterfaceConfig& config, OpenFailure& failure)
{
    QString error;
    BusTransports* transports = busTransports(error);
    if (!transports) {
        failure = {QStringLiteral("Korvane: the real-bus transports could not be loaded: ") + error, ENOENT};
        return nullptr;
    }
    auto channel = transports->open(config, sdo::responseId(uint8_t(config.nodeId)), failure);
    if (!channel)
        return nullptr;
    const uint8_t blockSize = config.transport == config::Transport::Can ? kCanBlockSize : kSerialBlockSize;
    return std::make_unique<BusInterface>(std::move(channel), config, blockSize);
}

BusInterface::BusInterface(std::unique_ptr<CanChannel> channel, const config::InterfaceConfig& config, uint8_t blockSize)
    : channel_(std::move(channel))
    , client_(*channel_, uint8_t(config.nodeId), std::chrono::milliseconds(config.sdoTimeoutMs))
{
    client_.setBlockSize(blockSize);
}

} // namespace korvane::api
