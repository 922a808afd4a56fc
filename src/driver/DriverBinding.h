// The loaded driver library: one slot per entry point, the library handle, the interface
// configuration block and the interface handle. Each operation calls its entry point and answers
// the result unchanged, or 0 without calling anything when the library lacks the entry point.
// Call on one thread only (the user-interface thread); the binding never touches the last-error
// code, so a failed OpenInterface leaves the library's reason in platform::GetLastError(), and
// the library's words for it in LastReason().
#pragma once

#include "contract/KorvaneApi.h"
#include "platform/Library.h"

#include <array>
#include <cstdint>
#include <string>

namespace driver {

using InterfaceConfigBlock = std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE>;

// Receive buffer of Parameter_Get_ARRAY: room for 255 bytes and a terminating zero.
using ParameterBuffer = std::array<uint8_t, 256>;

// Where the library keeps the interface configuration.
inline constexpr const char* ConfigurationRegistryPath = "\\Software\\Velmora\\CANopen Quillfen App\\";

// Stored in bytes 0-3 of the block before the library's configuration window opens.
inline constexpr uint32_t HardwareConfigurationSignature = 0x00040001;

class DriverBinding {
public:
    DriverBinding(); // loads "Korvane" (libKorvane.so / Korvane.dll) by the system's usual search
    // Loads the given library base name or path instead. Construction never fails: a library
    // or entry point that is not there leaves its slots empty.
    explicit DriverBinding(const char* library);
    ~DriverBinding(); // CloseCard(), then UnloadDriver(); the library stays loaded
    DriverBinding(const DriverBinding&) = delete;
    DriverBinding& operator=(const DriverBinding&) = delete;

    // Copies block into the binding's own block, then opens with the address of the GIVEN block,
    // which the library may update.
    int32_t OpenInterface(InterfaceConfigBlock& block);
    int32_t OpenInterface(); // with the binding's own block
    int32_t CloseCard();
    int32_t UnloadDriver();
    int32_t HardwareConfigurationWindow(); // stores HardwareConfigurationSignature first, always
    int32_t ReadConfiguration(const char* path);
    int32_t SaveConfiguration(const char* path);

    int32_t Parameter_Get_USIGN8(uint16_t number, uint8_t& value);
    int32_t Parameter_Get_USIGN32(uint16_t number, uint32_t& value);
    // On success count (0..255) bytes are in buffer; buffer[count] stays free for a terminating zero.
    int32_t Parameter_Get_ARRAY(uint16_t number, uint8_t& count, ParameterBuffer& buffer);
    int32_t Parameter_Set_USIGN8(uint16_t number, uint8_t value);
    int32_t Parameter_Set_USIGN32(uint16_t number, uint32_t value);
    int32_t Parameter_Set_ARRAY(uint16_t number, uint8_t count, const uint8_t* bytes);

    // The module's identity; 0 when it does not answer or lacks the object. Texts in UTF-8.
    int32_t Get_Device_Type(uint32_t& type);
    int32_t Get_Vendor_Id(uint32_t& id);
    int32_t Get_Product_Code(uint32_t& code);
    int32_t Get_Revision_Number(uint32_t& revision);
    int32_t Get_Serial_Number(uint32_t& serial);
    int32_t Get_Product_Name(std::string& name);
    int32_t Hardware_Version(std::string& version);
    int32_t Firmware_Version(std::string& version);
    // The modules on the bus of the binding's block as CSV (see KorvaneApi.h), `count` of them.
    int32_t Find_Modules(uint32_t& count, std::string& csv);
    // The library's own version: major in the upper 16 bits, minor in the lower.
    int32_t DLL_Version(uint32_t& version);

    // Why the last operation failed, in the library's words (GetErrorString), or why it could
    // not be called at all; empty after a success. UTF-8.
    const std::string& LastReason() const { return lastReason_; }

    bool LibraryLoaded() const { return library_ != nullptr; }
    const InterfaceConfigBlock& ConfigBlock() const { return block_; }
    InterfaceConfigBlock& ConfigBlock() { return block_; }
    // Bytes 8-11 of the block: the node-ID the next OpenInterface talks to.
    uint32_t NodeId() const;
    void SetNodeId(uint32_t node);
    // Bytes 12-15 of the block, little-endian: 0 = USB, anything else = RS232.
    uint32_t ConnectionType() const;
    // Bytes 4-7 of the block after a successful OpenInterface: the built-in simulated module?
    bool SimulatedModule() const;
    uint32_t InterfaceHandle() const { return interfaceHandle_; }

private:
    struct EntryPoints {
#define KORVANE_SLOT(name, ret, params) Korvane_##name##_fn name = nullptr;
        KORVANE_ENTRY_POINTS(KORVANE_SLOT)
#undef KORVANE_SLOT
    };

    // Calls `entry` (named `name`) and keeps the reason of a failure.
    template <typename Entry, typename... Args>
    int32_t Call(Entry entry, const char* name, Args... args);
    std::string LibraryReason() const;
    // Calls a text entry point (GetErrorString's shape) and takes its text.
    template <typename Entry>
    int32_t CallText(Entry entry, const char* name, std::string& text);

    EntryPoints entry_;
    platform::LibraryHandle library_ = nullptr;
    std::string loadError_;
    std::string lastReason_;
    InterfaceConfigBlock block_{};
    uint32_t interfaceHandle_ = 0;
};

} // namespace driver
