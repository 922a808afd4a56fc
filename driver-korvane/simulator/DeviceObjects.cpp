#include "simulator/DeviceObjects.h"

#include "sdo/StandardObjects.h"

namespace korvane::module {

using namespace korvane::sdo;

namespace {

Bytes text(const QByteArray& bytes) { return Bytes(bytes.begin(), bytes.end()); }

uint32_t identityValue(const ModuleIdentity& identity, uint8_t subIndex, Bytes& value)
{
    switch (subIndex) {
    case 0: value = {SerialNumber}; return 0;
    case VendorId: value = littleEndian(identity.vendorId, 4); return 0;
    case ProductCode: value = littleEndian(identity.productCode, 4); return 0;
    case Revision: value = littleEndian(identity.revision, 4); return 0;
    case SerialNumber: value = littleEndian(identity.serialNumber, 4); return 0;
    default: return NoSuchSubIndex;
    }
}

} // namespace

uint32_t readDeviceObject(const ModuleIdentity& identity, uint16_t index, uint8_t subIndex, Bytes& value)
{
    if (index == object::Identity)
        return identityValue(identity, subIndex, value);
    Bytes found;
    switch (index) {
    case object::DeviceType: found = littleEndian(kDeviceType, 4); break;
    case object::ErrorRegister: found = {0}; break;
    case object::DeviceName: found = text(identity.deviceName); break;
    case object::HardwareVersion: found = text(identity.hardwareVersion); break;
    case object::SoftwareVersion: found = text(identity.softwareVersion); break;
    case object::HeartbeatTime: found = littleEndian(identity.heartbeatMs, 2); break;
    default: return NoSuchObject;
    }
    if (subIndex != 0)
        return NoSuchSubIndex;
    value = std::move(found);
    return 0;
}

uint32_t writeDeviceObject(const ModuleIdentity& identity, uint16_t index, uint8_t subIndex)
{
    Bytes ignored;
    const uint32_t readable = readDeviceObject(identity, index, subIndex, ignored);
    return readable ? readable : uint32_t(WriteOfReadOnly);
}

} // namespace korvane::module
