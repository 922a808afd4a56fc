// Who the module is, as its CANopen identity objects say (0x1000, 0x1018, 0x1008-0x100A); read
// once at connect. A value the module does not give stays empty.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct ModuleIdentity {
    std::optional<uint32_t> deviceType;
    std::optional<uint32_t> vendorId;
    std::optional<uint32_t> productCode;
    std::optional<uint32_t> revision;
    std::optional<uint32_t> serialNumber;
    QString productName;
    QString hardwareVersion;
    QString softwareVersion;

    bool operator==(const ModuleIdentity&) const = default;
};
