// An open interface: an SDO client over the channel of some transport, reaching the module's
// parameters.
#pragma once

#include "canbus/CanChannel.h"
#include "config/InterfaceConfig.h"
#include "sdo/SdoClient.h"

#include <memory>

namespace korvane::api {

class Interface {
public:
    Interface(std::unique_ptr<CanChannel> channel, const config::InterfaceConfig& config, uint8_t blockSize);

    // Each answers true when the module delivered or took the value, else false with the reason,
    // e.g. "parameter 14: no answer from node-ID 5 within 500 ms". `size` is 1, 2 or 4 bytes.
    bool getUnsigned(uint32_t number, size_t size, uint32_t& value, QString& reason);
    bool setUnsigned(uint32_t number, size_t size, uint32_t value, QString& reason);
    bool getArray(uint32_t number, uint8_t& count, uint8_t* buffer, QString& reason);
    bool setArray(uint32_t number, uint8_t count, const uint8_t* bytes, QString& reason);

private:
    // False, with the reason, for a transfer that failed.
    bool done(uint32_t number, const sdo::Result& result, QString& reason);
    bool failed(uint32_t number, const QString& why, QString& reason);

    std::unique_ptr<CanChannel> channel_;
    sdo::SdoClient client_;
};

// Opens the configured transport; nullptr, with the reason, when it cannot be opened.
std::unique_ptr<Interface> openInterface(const config::InterfaceConfig& config, OpenFailure& failure);

} // namespace korvane::api
