// libKorvaneBus.so: the channels to real adapters (Qt Serial Bus plugins, serial-line adapters),
// loaded on first use, so that a process using only the simulated module never loads Qt Serial
// Bus, Qt Serial Port or Qt Network. The library is found beside the code calling this (or in
// ../lib of it) and never unloaded.
//
// Its entry points: KorvaneBusAbiVersion, KorvaneBusLists, and one factory per kind of channel,
// named KorvaneBusOpen<Kind> and defined beside that channel, which the transport table names.
#pragma once

#include "canbus/CanChannel.h"

#include <QStringList>

#include <memory>

namespace korvane::bus {

// Raised with every change to the types below or to a factory's signature: a libKorvaneBus.so
// of another build must not be called through a layout it does not have.
constexpr uint32_t kAbiVersion = 2;

// What a channel of the library is made from.
struct ChannelSettings {
    QString plugin;  // Qt Serial Bus plugin
    QString device;  // CAN device or serial port
    uint32_t bitrate = 0;
    uint32_t lineRate = 0; // serial line rate
};

// What the configuration window offers.
class Lists {
public:
    virtual ~Lists() = default;
    virtual QStringList canPlugins() = 0;
    virtual QStringList canDevices(const QString& plugin) = 0;
    virtual QStringList serialPorts() = 0;
};

using Factory = CanChannel* (*)(const ChannelSettings& settings);

// A new, unopened channel from the factory `entry`; nullptr, with the reason, when the library
// cannot be loaded, is of another ABI version or has no such factory.
std::unique_ptr<CanChannel> makeChannel(const char* entry, const ChannelSettings& settings, OpenFailure& failure);

// nullptr when the library cannot be loaded: the lists stay empty, typed names still work.
Lists* lists();

} // namespace korvane::bus

#define KORVANE_BUS_EXPORT extern "C" __attribute__((visibility("default")))
