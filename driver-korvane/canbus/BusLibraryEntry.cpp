// The entry points of libKorvaneBus.so other than the channel factories (see BusLibrary.h).
#include "canbus/BusLibrary.h"

#include <QCanBus>
#include <QSerialPortInfo>

namespace {

class RealBusLists : public korvane::bus::Lists {
public:
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

KORVANE_BUS_EXPORT uint32_t KorvaneBusAbiVersion() { return korvane::bus::kAbiVersion; }

KORVANE_BUS_EXPORT korvane::bus::Lists* KorvaneBusLists()
{
    static RealBusLists lists;
    return &lists;
}
