// libKorvaneBus.so: the real-bus channels behind korvane::api::BusTransports.
#include "api/BusTransports.h"
#include "canbus/QtCanChannel.h"
#include "canbus/SerialCanChannel.h"

#include <QCanBus>
#include <QSerialPortInfo>

namespace korvane::api {

namespace {

constexpr std::chrono::milliseconds kConnectTimeout(3000);

class RealBuses : public BusTransports {
public:
    std::unique_ptr<CanChannel> open(const config::InterfaceConfig& config, uint32_t acceptedId,
                                     OpenFailure& failure) override
    {
        if (config.transport == config::Transport::Can) {
            auto channel = std::make_unique<QtCanChannel>(config.plugin, config.device, config.bitrate, acceptedId);
            return channel->open(kConnectTimeout, failure) ? std::move(channel) : nullptr;
        }
        auto channel = std::make_unique<SerialCanChannel>(config.device, int(config.serialBaud), config.bitrate, acceptedId);
        return channel->open(failure) ? std::move(channel) : nullptr;
    }

    QStringList canPlugins() override { return QCanBus::instance()->plugins(); }

    QStringList canDevices(const QString& plugin) override
    {
        QStringList names;
        QString error;
        for (const QCanBusDeviceInfo& device : QCanBus::instance()->availableDevices(plugin, &error))
            names << device.name();
        return names;
    }

    QStringList serialPorts() override
    {
        QStringList names;
        for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
            names << port.systemLocation();
        return names;
    }
};

} // namespace

} // namespace korvane::api

extern "C" __attribute__((visibility("default"))) korvane::api::BusTransports* KorvaneBusTransports()
{
    static korvane::api::RealBuses buses;
    return &buses;
}
