// An open interface: an SDO client on some bus, reaching the module's parameters.
#pragma once

#include "canbus/OpenFailure.h"
#include "config/InterfaceConfig.h"
#include "sdo/SdoClient.h"

#include <memory>

namespace korvane::api {

class Interface {
public:
    virtual ~Interface() = default;

    // Each answers true when the module delivered or took the value. `size` is 1, 2 or 4 bytes.
    bool getUnsigned(uint32_t number, size_t size, uint32_t& value);
    bool setUnsigned(uint32_t number, size_t size, uint32_t value);
    bool getArray(uint32_t number, uint8_t& count, uint8_t* buffer);
    bool setArray(uint32_t number, uint8_t count, const uint8_t* bytes);

protected:
    virtual sdo::SdoClient& client() = 0;
};

std::unique_ptr<Interface> openInterface(const config::InterfaceConfig& config, OpenFailure& failure);

} // namespace korvane::api
