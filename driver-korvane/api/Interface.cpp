#include "api/Interface.h"

#include "config/Transports.h"
#include "contract/StandardError.h"
#include "simulator/ModuleParameters.h"

#include <cerrno>
#include <cstring>
#include <mutex>

namespace korvane::api {

namespace {

const QString kNoSuchParameter = QStringLiteral("no such parameter");

QString parameterName(uint32_t number) { return QStringLiteral("parameter %1").arg(number & 0xFFFF); }

// Parameter numbers arrive as 32-bit values; only the low 16 bits count.
std::optional<uint16_t> indexOf(uint32_t number)
{
    return module::objectIndex(uint16_t(number & 0xFFFF));
}

// Once per process: an unattended run says it once, a window that reconnects does not repeat it.
void announce(const config::InterfaceConfig& config, const CanChannel& channel)
{
    static std::once_flag announced;
    if (const QString notice = channel.notice(); !notice.isEmpty())
        std::call_once(announced, [&] {
            const bool unset = config.transport == config::Transport::Unset;
            contract::ReportLine(((unset ? QStringLiteral("no interface configured: ") : QString()) + notice).toStdString());
        });
}

} // namespace

Interface::Interface(std::unique_ptr<CanChannel> channel, const config::InterfaceConfig& config, uint8_t blockSize)
    : channel_(std::move(channel))
    , client_(*channel_, uint8_t(config.nodeId), std::chrono::milliseconds(config.sdoTimeoutMs))
    , ahead_([this] { return upload(*module::objectIndex(module::MemoryData)); })
{
    client_.setBlockSize(blockSize);
}

Upload Interface::upload(uint16_t index)
{
    Upload read;
    read.result = client_.upload(index, 0, read.bytes, module::kMaxArray, sdo::SdoClient::Upload::BlockIfOffered);
    return read;
}

bool Interface::failed(const QString& what, const QString& why, QString& reason)
{
    reason = what + QStringLiteral(": ") + why;
    return false;
}

bool Interface::done(const QString& what, const sdo::Result& result, QString& reason)
{
    return result.ok() || failed(what, client_.describe(result), reason);
}

bool Interface::readUnsigned(const QString& what, uint16_t index, uint8_t subIndex, size_t size, uint32_t& value,
                             QString& reason)
{
    settle();
    sdo::Bytes bytes;
    if (!done(what, client_.upload(index, subIndex, bytes, size), reason))
        return false;
    if (bytes.size() != size)
        return failed(what, QStringLiteral("the module answered %1 bytes, not %2").arg(bytes.size()).arg(size), reason);
    value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= uint32_t(bytes[i]) << (8 * i);
    return true;
}

void Interface::copyOut(const sdo::Bytes& bytes, uint8_t& count, uint8_t* buffer)
{
    // An empty array has no data pointer, which memcpy must not be given.
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    count = uint8_t(bytes.size());
}

bool Interface::getUnsigned(uint32_t number, size_t size, uint32_t& value, QString& reason)
{
    const auto index = indexOf(number);
    if (!index)
        return failed(parameterName(number), kNoSuchParameter, reason);
    return readUnsigned(parameterName(number), *index, 0, size, value, reason);
}

bool Interface::getObjectU32(uint16_t index, uint8_t subIndex, uint32_t& value, QString& reason)
{
    return readUnsigned(QString::asprintf("object 0x%04X:%02X", unsigned(index), unsigned(subIndex)), index, subIndex, 4,
                        value, reason);
}

bool Interface::getObjectText(uint16_t index, uint8_t& count, uint8_t* buffer, QString& reason)
{
    settle();
    sdo::Bytes bytes;
    if (!done(QString::asprintf("object 0x%04X", unsigned(index)), client_.upload(index, 0, bytes, module::kMaxArray), reason))
        return false;
    copyOut(bytes, count, buffer);
    return true;
}

bool Interface::setUnsigned(uint32_t number, size_t size, uint32_t value, QString& reason)
{
    settle();
    const auto index = indexOf(number);
    if (!index)
        return failed(parameterName(number), kNoSuchParameter, reason);
    return done(parameterName(number), client_.download(*index, 0, sdo::littleEndian(value, size)), reason);
}

bool Interface::getArray(uint32_t number, uint8_t& count, uint8_t* buffer, QString& reason)
{
    const auto index = indexOf(number);
    const bool memory = index && index == indexOf(module::MemoryData);
    std::optional<Upload> ahead = ahead_.take(memory);
    if (!index)
        return failed(parameterName(number), kNoSuchParameter, reason);
    const Upload read = ahead && memory ? std::move(*ahead) : upload(*index);
    if (!done(parameterName(number), read.result, reason))
        return false;
    // Without a thread to spare, the next read goes as it comes.
    if (memory && read.delivered())
        ahead_.start();
    copyOut(read.bytes, count, buffer);
    return true;
}

bool Interface::setArray(uint32_t number, uint8_t count, const uint8_t* bytes, QString& reason)
{
    settle();
    const auto index = indexOf(number);
    if (!index)
        return failed(parameterName(number), kNoSuchParameter, reason);
    return done(parameterName(number), client_.download(*index, 0, sdo::Bytes(bytes, bytes + count)), reason);
}

std::unique_ptr<Interface> openInterface(const config::InterfaceConfig& config, OpenFailure& failure)
{
    if (config.transport == config::Transport::Unreadable) {
        failure = {config::unusableConfiguration({}), EINVAL};
        return nullptr;
    }
    QString error;
    if (!config::validate(config, error)) {
        failure = {config::unusableConfiguration(error), EINVAL};
        return nullptr;
    }
    const config::TransportInfo& transport = *config::findTransport(config.transport); // validate() knows it
    auto channel = transport.open(config, failure);
    if (!channel)
        return nullptr;
    if (!channel->open()) {
        failure = channel->error();
        return nullptr;
    }
    announce(config, *channel);
    return std::make_unique<Interface>(std::move(channel), config, transport.blockSize);
}

} // namespace korvane::api
