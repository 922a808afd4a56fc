// Who the module is, as its CANopen identity objects say (0x1000, 0x1018, 0x1008-0x100A); read
// once at connect through the driver library. A value the module does not give stays empty; a
// module without the objects, or a library without the entry points, leaves all of it unknown,
// and everything works as without it.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace driver {
class DriverBinding;
}

struct ModuleIdentity {
    std::optional<uint32_t> deviceType;
    std::optional<uint32_t> vendorId;
    std::optional<uint32_t> productCode;
    std::optional<uint32_t> revision;
    std::optional<uint32_t> serialNumber;
    QString productName;
    QString hardwareVersion;
    QString softwareVersion;

    bool Known() const { return deviceType.has_value(); }
    bool operator==(const ModuleIdentity&) const = default;
};

// Never fails: what the module does not answer stays unknown. A module that lacks the device
// type, which every CANopen device has, is not asked for the rest.
ModuleIdentity ReadModuleIdentity(driver::DriverBinding& driver);

// "0x0001E240".
QString HexWord(uint32_t value);

// For the window: the product name and the serial number, as far as they are known:
// "Korvane RTC/Memory Module, serial 0x0001E240"; empty when neither is.
QString IdentitySummary(const ModuleIdentity& identity);
// For the About box: one line per known value.
QString IdentityDetails(const ModuleIdentity& identity);
