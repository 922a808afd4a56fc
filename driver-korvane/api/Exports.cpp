// The C entry points of the driver library: the 38 of the Parts and its own additions. Arguments arrive in 32-bit slots: parameter numbers
// count in their low 16 bits, 8-bit values and counts in their low 8 bits.
#include "api/LastReason.h"
#include "api/OpenInterfaces.h"
#include "config/ConfigurationDialog.h"
#include "config/FindModules.h"
#include "config/InterfaceConfig.h"
#include "contract/KorvaneApi.h"
#include "contract/StandardError.h"
#include "sdo/StandardObjects.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <type_traits>

using namespace korvane;

#define KORVANE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// A failure that standard error hears of too.
int32_t failAloud(const QString& reason)
{
    contract::ReportLine(reason.toStdString());
    return api::fail(reason);
}

// Why ReadConfiguration last refused interface.ini; the configuration window and a connect
// after it say so.
class Refusal {
public:
    void set(const QString& reason)
    {
        std::lock_guard lock(mutex_);
        reason_ = reason;
    }
    QString get()
    {
        std::lock_guard lock(mutex_);
        return reason_;
    }

private:
    std::mutex mutex_;
    QString reason_;
};

Refusal& refusal()
{
    static Refusal kept;
    return kept;
}

template <typename Access>
int32_t onInterface(uint32_t handle, Access&& access)
{
    QString reason;
    bool known = false;
    const bool done = api::OpenInterfaces::instance().with(handle, [&](api::Interface& interface) {
        known = true;
        return access(interface, reason);
    });
    if (done)
        return 1;
    return api::fail(known ? reason : QStringLiteral("no interface is open with handle %1").arg(handle));
}

int32_t noPointer() { return api::fail(QStringLiteral("a pointer argument is missing")); }

int32_t objectNumber(uint32_t handle, uint16_t index, uint8_t subIndex, uint32_t* value)
{
    if (!value)
        return noPointer();
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        return interface.getObjectU32(index, subIndex, *value, reason);
    });
}

int32_t identityNumber(uint32_t handle, uint8_t subIndex, uint32_t* value)
{
    return objectNumber(handle, sdo::object::Identity, subIndex, value);
}

// A visible string as GetErrorString answers a reason: zero-terminated, its length answered.
// An empty one answers 0 too: there is nothing to show.
int32_t objectText(uint32_t handle, uint16_t index, char* text)
{
    if (!text)
        return noPointer();
    uint8_t count = 0;
    if (!onInterface(handle, [&](api::Interface& interface, QString& reason) {
            return interface.getObjectText(index, count, reinterpret_cast<uint8_t*>(text), reason);
        }))
        return 0;
    text[count] = '\0';
    return count;
}

int32_t openFromBlock(uint32_t* handle, uint8_t* block)
{
    if (!handle) {
        errno = EINVAL;
        return noPointer();
    }
    const config::InterfaceConfig config = block ? config::fromBlock(block) : config::InterfaceConfig{};
    OpenFailure failure;
    auto interface = api::openInterface(config, failure);
    if (!interface) {
        if (config.transport == config::Transport::Unreadable)
            failure.message = config::unusableConfiguration(refusal().get());
        failAloud(failure.message);
        errno = failure.errorCode;
        return 0;
    }
    *handle = api::OpenInterfaces::instance().add(std::move(interface));
    if (block)
        config::markOpened(block, config.transport);
    return 1;
}

} // namespace

KORVANE_EXPORT int32_t UnloadDriver(void)
{
    api::OpenInterfaces::instance().closeAll();
    return 1;
}

KORVANE_EXPORT int32_t LoadDriver(void) { return 1; }

KORVANE_EXPORT int32_t OpenInterface(uint32_t* handle, uint8_t* block) { return openFromBlock(handle, block); }

KORVANE_EXPORT int32_t CloseInterface(uint32_t handle)
{
    return api::OpenInterfaces::instance().close(handle) ? 1 : api::fail(QStringLiteral("no interface is open with handle %1").arg(handle));
}

KORVANE_EXPORT int32_t CloseCard(uint32_t handle) { return CloseInterface(handle); }

// The module's identity, from its CiA 301 objects.
KORVANE_EXPORT int32_t Hardware_Version(uint32_t handle, char* version) { return objectText(handle, sdo::object::HardwareVersion, version); }
KORVANE_EXPORT int32_t Get_Serial_Number(uint32_t handle, uint32_t* serial) { return identityNumber(handle, sdo::SerialNumber, serial); }
KORVANE_EXPORT int32_t Firmware_Version(uint32_t handle, char* version) { return objectText(handle, sdo::object::SoftwareVersion, version); }
KORVANE_EXPORT int32_t DLL_Version(uint32_t* version)
{
    if (!version)
        return noPointer();
    *version = KORVANE_LIBRARY_VERSION;
    return 1;
}
// The reason of this thread's last failed call, whatever the code.
KORVANE_EXPORT int32_t GetErrorString(uint32_t, char* text) { return text ? api::copyLastReason(text) : 0; }
// Firmware and flash sectors belong to the vendor's adapters; this library has none to offer.
KORVANE_EXPORT int32_t Download_Firmware(uint32_t, const char*) { return 0; }
KORVANE_EXPORT int32_t Upload_Firmware(uint32_t, const char*) { return 0; }
KORVANE_EXPORT int32_t Set_Active_Sector(uint32_t, uint32_t) { return 0; }
KORVANE_EXPORT int32_t Get_Active_Sector(uint32_t, uint32_t*) { return 0; }
KORVANE_EXPORT int32_t Set_Boot_Sector(uint32_t, uint32_t) { return 0; }
KORVANE_EXPORT int32_t Get_Boot_Sector(uint32_t, uint32_t*) { return 0; }
KORVANE_EXPORT int32_t Erase_Sector(uint32_t, uint32_t) { return 0; }
KORVANE_EXPORT int32_t Execute_Firmware(uint32_t) { return 0; }
KORVANE_EXPORT int32_t Get_Mode(uint32_t, uint32_t*) { return 0; }
KORVANE_EXPORT int32_t OpenCard(uint32_t*, uint8_t*) { return 0; }
KORVANE_EXPORT int32_t Get_Sector_Checksum(uint32_t, uint32_t, uint32_t*) { return 0; }
KORVANE_EXPORT int32_t Set_Sector_Checksum(uint32_t, uint32_t, uint32_t) { return 0; }
KORVANE_EXPORT int32_t Get_Sector_Size(uint32_t, uint32_t, uint32_t*) { return 0; }
KORVANE_EXPORT int32_t Get_Device_Type(uint32_t handle, uint32_t* type) { return objectNumber(handle, sdo::object::DeviceType, 0, type); }
KORVANE_EXPORT int32_t Get_Product_Code(uint32_t handle, uint32_t* code) { return identityNumber(handle, sdo::ProductCode, code); }
KORVANE_EXPORT int32_t Get_Vendor_Id(uint32_t handle, uint32_t* id) { return identityNumber(handle, sdo::VendorId, id); }
KORVANE_EXPORT int32_t Get_Revision_Number(uint32_t handle, uint32_t* revision) { return identityNumber(handle, sdo::Revision, revision); }
KORVANE_EXPORT int32_t Get_Product_Name(uint32_t handle, char* name) { return objectText(handle, sdo::object::DeviceName, name); }

KORVANE_EXPORT int32_t HardwareConfigurationWindow(uint8_t* block)
{
    if (!block)
        return noPointer();
    return config::runConfigurationDialog(block, refusal().get()) ? 1 : api::fail(QStringLiteral("the configuration window was closed without a change"));
}

KORVANE_EXPORT int32_t ReadConfiguration(const char* path, uint8_t* block)
{
    if (!path || !block)
        return noPointer();
    const QString file = config::configFileFor(QString::fromLocal8Bit(path));
    if (file.isEmpty())
        return failAloud(QStringLiteral("\"%1\" names no configuration folder").arg(QString::fromLocal8Bit(path)));
    config::InterfaceConfig config;
    QString error;
    if (!config::readConfigFile(file, config, error) || !config::toBlock(config, block, error)) {
        refusal().set(error);
        config::markUnreadable(block);
        return failAloud(config::unusableConfiguration(error));
    }
    refusal().set({});
    return 1;
}

KORVANE_EXPORT int32_t SaveConfiguration(const char* path, uint8_t* block)
{
    if (!path || !block)
        return noPointer();
    const QString file = config::configFileFor(QString::fromLocal8Bit(path));
    const config::InterfaceConfig config = config::fromBlock(block);
    QString error;
    if (file.isEmpty() || config.transport == config::Transport::Unreadable
        || !config::writeConfigFile(file, config, error))
        return failAloud(QStringLiteral("the interface configuration was not saved. ") + error);
    refusal().set({});
    return 1;
}

KORVANE_EXPORT int32_t Parameter_Get_USIGN8(uint32_t handle, uint32_t number, uint8_t* value)
{
    if (!value)
        return noPointer();
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        uint32_t read = 0;
        return interface.getUnsigned(number, 1, read, reason) && (*value = uint8_t(read), true);
    });
}

KORVANE_EXPORT int32_t Parameter_Get_USIGN16(uint32_t handle, uint32_t number, uint16_t* value)
{
    if (!value)
        return noPointer();
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        uint32_t read = 0;
        return interface.getUnsigned(number, 2, read, reason) && (*value = uint16_t(read), true);
    });
}

KORVANE_EXPORT int32_t Parameter_Get_USIGN32(uint32_t handle, uint32_t number, uint32_t* value)
{
    if (!value)
        return noPointer();
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        return interface.getUnsigned(number, 4, *value, reason);
    });
}

KORVANE_EXPORT int32_t Parameter_Get_ARRAY(uint32_t handle, uint32_t number, uint8_t* count, uint8_t* buffer)
{
    if (!count || !buffer)
        return noPointer();
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        return interface.getArray(number, *count, buffer, reason);
    });
}

KORVANE_EXPORT int32_t Parameter_Set_USIGN8(uint32_t handle, uint32_t number, uint32_t value)
{
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        return interface.setUnsigned(number, 1, value & 0xFF, reason);
    });
}

KORVANE_EXPORT int32_t Parameter_Set_USIGN16(uint32_t handle, uint32_t number, uint32_t value)
{
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        return interface.setUnsigned(number, 2, value & 0xFFFF, reason);
    });
}

KORVANE_EXPORT int32_t Parameter_Set_USIGN32(uint32_t handle, uint32_t number, uint32_t value)
{
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        return interface.setUnsigned(number, 4, value, reason);
    });
}

KORVANE_EXPORT int32_t Parameter_Set_ARRAY(uint32_t handle, uint32_t number, uint32_t count, const uint8_t* bytes)
{
    const auto length = uint8_t(count & 0xFF);
    if (!bytes && length != 0)
        return noPointer();
    return onInterface(handle, [&](api::Interface& interface, QString& reason) {
        static const uint8_t none = 0;
        return interface.setArray(number, length, bytes ? bytes : &none, reason);
    });
}

KORVANE_EXPORT int32_t Find_Modules(uint8_t* block, uint32_t* count, char* csv, uint32_t size)
{
    if (!block || !count || !csv || size == 0)
        return noPointer();
    const config::InterfaceConfig config = config::fromBlock(block);
    if (config.transport == config::Transport::Unreadable)
        return api::fail(config::unusableConfiguration(refusal().get()));
    QString error;
    const auto found = config::findModules(config, error);
    if (!found)
        return api::fail(QStringLiteral("the bus cannot be searched: ") + error);
    const QByteArray text = config::modulesCsv(*found);
    if (uint32_t(text.size()) >= size)
        return api::fail(QStringLiteral("the list of modules needs %1 bytes").arg(text.size() + 1));
    std::memcpy(csv, text.constData(), size_t(text.size()) + 1);
    *count = uint32_t(found->size());
    return 1;
}

// Every entry point has exactly the type the tool looks it up with.
#define KORVANE_CHECK_TYPE(name, ret, params) \
    static_assert(std::is_same_v<decltype(&name), Korvane_##name##_fn>, #name " differs from KorvaneApi.h");
KORVANE_ENTRY_POINTS(KORVANE_CHECK_TYPE)
#undef KORVANE_CHECK_TYPE
