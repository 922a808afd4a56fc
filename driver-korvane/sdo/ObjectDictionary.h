// What an SDO server serves: objects read and written whole, by index and sub-index.
#pragma once

#include "sdo/SdoProtocol.h"

namespace korvane::sdo {

class ObjectDictionary {
public:
    virtual ~ObjectDictionary() = default;

    // Both answer 0 on success, else the SDO abort code that refuses the access.
    virtual uint32_t read(uint16_t index, uint8_t subIndex, Bytes& value) = 0;
    virtual uint32_t write(uint16_t index, uint8_t subIndex, const Bytes& value) = 0;
};

} // namespace korvane::sdo
