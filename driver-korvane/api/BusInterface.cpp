#include "api/BusInterface.h"

#include "canbus/QtCanChannel.h"
#include "canbus/SerialCanChannel.h"

namespace korvane::api {

namespace {

constexpr std::chrono::milliseconds kConnectTimeout(3000);
// Segments per block of a block upload: a CAN adapter's socket buffers a whole block of 127;
// serial-line adapters have small receive buffers and no flow control.
constexpr uint8_t kCanBlockSize = 127;
constexpr uint8_t kSerialBlockSize = 16;

} // namespace

std::unique_ptr<Interface> BusInterface::open(const config::InterfaceConfig& config, OpenFailure& failure)
{
    const uint32_t answers = sdo::responseId(uint8_t(config.nodeId));
    if (config.transport == config::Transport::Can) {
        auto channel = std::make_unique<QtCanChannel>(config.plugin, config.device, config.bitrate, answers);
        if (!channel->open(kConnectTimeout, failure))
            return nullptr;
        return std::make_unique<BusInterface>(std::move(channel), config, kCanBlockSize);
    }
    auto channel = std::make_unique<SerialCanChannel>(config.device, int(config.serialBaud), config.bitrate, answers);
    if (!channel->open(failure))
        return nullptr;
    return std::make_unique<BusInterface>(std::move(channel), config, kSerialBlockSize);
}

BusInterface::BusInterface(std::unique_ptr<CanChannel> channel, const config::InterfaceConfig& config, uint8_t blockSize)
    : channel_(std::move(channel))
    , client_(*channel_, uint8_t(config.nodeId), std::chrono::milliseconds(config.sdoTimeoutMs))
{
    client_.setBlockSize(blockSize);
}

} // namespace korvane::api
