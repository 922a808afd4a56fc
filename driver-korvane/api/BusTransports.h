// The real-bus transports: Qt Serial Bus plugins and serial-line adapters. They live in
// libKorvaneBus.so, loaded on first use, so that a process using only the simulated module never
// loads Qt Serial Bus, Qt Serial Port or Qt Network.
#pragma once

#include "canbus/CanChannel.h"
#include "canbus/OpenFailure.h"
#include "config/InterfaceConfig.h"

#include <QStringList>

#include <memory>

namespace korvane::api {

class BusTransports {
public:
    virtual ~BusTransports() = default;

    // A channel to the configured adapter (transport can or serial) that keeps only frames with
    // `acceptedId`; nullptr, with the reason, when the adapter cannot be opened.
    virtual std::unique_ptr<CanChannel> open(const config::InterfaceConfig& config, uint32_t acceptedId,
                                             OpenFailure& failure) = 0;

    // What the configuration dialog offers.
    virtual QStringList canPlugins() = 0;
    virtual QStringList canDevices(const QString& plugin) = 0;
    virtual QStringList serialPorts() = 0;
};

// The transports of libKorvaneBus.so, found beside the code calling this (or in ../lib of it).
// nullptr, with the reason, when that library cannot be loaded. Never unloaded.
BusTransports* busTransports(QString& error);

} // namespace korvane::api

// The one entry point of libKorvaneBus.so.
extern "C" korvane::api::BusTransports* KorvaneBusTransports();
