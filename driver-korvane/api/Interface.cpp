#include "api/Interface.h"

#include "api/BusInterface.h"
#include "api/SimulatedInterface.h"
#include "simulator/ModuleParameters.h"

#include <cerrno>
#include <cstring>

namespace korvane::api {

namespace {

// Parameter numbers arrive as 32-bit values; only the low 16 bits count.
std::optional<uint16_t> indexOf(uint32_t number)
{
    return module::objectIndex(uint16_t(number & 0xFFFF));
}

} // namespace

bool Interface::getUnsigned(uint32_t number, size_t size, uint32_t& value)
{
    const auto index = indexOf(number);
    sdo::Bytes bytes;
    if (!index || client().upload(*index, 0, bytes, size) != 0 || bytes.size() != size)
        return false;
    value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= uint32_t(bytes[i]) << (8 * i);
    return true;
}

bool Interface::setUnsigned(uint32_t number, size_t size, uint32_t value)
{
    const auto index = indexOf(number);
    sdo::Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
    return index && client().download(*index, 0, bytes) == 0;
}

bool Interface::getArray(uint32_t number, uint8_t& count, uint8_t* buffer)
{
    const auto index = indexOf(number);
    sdo::Bytes bytes;
    if (!index || client().upload(*index, 0, bytes, module::kMaxArray, sdo::SdoClient::Upload::BlockIfOffered) != 0)
        return false;
    // An empty array has no data pointer, which memcpy must not be given.
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    count = uint8_t(bytes.size());
    return true;
}

bool Interface::setArray(uint32_t number, uint8_t count, const uint8_t* bytes)
{
    const auto index = indexOf(number);
    return index && client().download(*index, 0, sdo::Bytes(bytes, bytes + count)) == 0;
}

std::unique_ptr<Interface> openInterface(const config::InterfaceConfig& config, OpenFailure& failure)
{
    if (config.transport == config::Transport::Unreadable) {
        failure = {QStringLiteral("Korvane: the saved interface configuration could not be read"), EINVAL};
        return nullptr;
    }
    QString error;
    if (!config::validate(config, error)) {
        failure = {QStringLiteral("Korvane: unusable interface configuration: ") + error, EINVAL};
        return nullptr;
    }
    switch (config.transport) {
    case config::Transport::Unset:
    case config::Transport::Simulated: return SimulatedInterface::open(config, failure);
    case config::Transport::Can:
    case config::Transport::Serial: return BusInterface::open(config, failure);
    default:
        failure = {QStringLiteral("Korvane: unknown transport %1 in the configuration").arg(uint32_t(config.transport)), EINVAL};
        return nullptr;
    }
}

} // namespace korvane::api
