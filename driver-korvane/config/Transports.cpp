#include "config/Transports.h"

#include "canbus/BusLibrary.h"
#include "simulator/SimulatedChannel.h"

#include <QCoreApplication>

#include <algorithm>

namespace korvane::config {

namespace {

// The name of a factory in libKorvaneBus.so, as a template argument.
template <size_t N>
struct EntryName {
    constexpr EntryName(const char (&text)[N]) { std::copy_n(text, N, name); }
    char name[N];
};

// A channel of libKorvaneBus.so, made by its factory `entry`.
template <EntryName entry>
std::unique_ptr<CanChannel> busChannel(const InterfaceConfig& config, OpenFailure& failure)
{
    return bus::makeChannel(entry.name, {config.plugin, config.device, config.bitrate, config.serialBaud},
                            failure);
}

std::unique_ptr<CanChannel> simulated(const InterfaceConfig& config, OpenFailure&)
{
    return std::make_unique<module::SimulatedChannel>(config.moduleState, config.bitrate);
}

// A CAN adapter's socket buffers a whole block of 127; serial-line adapters have small receive
// buffers and no flow control.
const TransportInfo kTransports[] = {
    {Transport::Simulated, "simulated", QT_TRANSLATE_NOOP("korvane::config::ConfigurationDialog", "Simulated module"), StateFileRow, std::nullopt, 127, &simulated},
    {Transport::Can, "can", QT_TRANSLATE_NOOP("korvane::config::ConfigurationDialog", "CAN adapter (Qt CAN plugin)"), PluginRow | CanDeviceRow, 0, 127, &busChannel<"KorvaneBusOpenCan">},
    {Transport::Serial, "serial", QT_TRANSLATE_NOOP("korvane::config::ConfigurationDialog", "Serial-line CAN adapter"), SerialPortRow | SerialBaudRow, 1, 16, &busChannel<"KorvaneBusOpenSerial">},
};

} // namespace

std::span<const TransportInfo> transports() { return kTransports; }

const TransportInfo* findTransport(Transport id)
{
    if (id == Transport::Unset)
        id = Transport::Simulated;
    for (const TransportInfo& transport : kTransports)
        if (transport.id == id)
            return &transport;
    return nullptr;
}

const TransportInfo* findTransport(QStringView name)
{
    for (const TransportInfo& transport : kTransports)
        if (name == QLatin1String(transport.name))
            return &transport;
    return nullptr;
}

} // namespace korvane::config
