#include "driver/DriverBinding.h"

#include "contract/StandardError.h"
#include "platform/LastError.h"

#include <algorithm>
#include <cstring>

namespace driver {

namespace {

constexpr char DefaultLibrary[] = "Korvane";

} // namespace

DriverBinding::DriverBinding()
    : DriverBinding(DefaultLibrary)
{
}

DriverBinding::DriverBinding(const char* library)
    : library_(platform::OpenLibrary(library ? library : ""))
{
    if (library_ == nullptr) {
        loadError_ = "cannot load the driver library " + platform::LibraryFileName(library ? library : "") + ": "
                     + platform::LibraryError();
        contract::ReportLine(loadError_);
        return;
    }
#define KORVANE_RESOLVE(name, ret, params) \
    entry_.name = reinterpret_cast<Korvane_##name##_fn>(platform::LibrarySymbol(library_, #name));
    KORVANE_ENTRY_POINTS(KORVANE_RESOLVE)
#undef KORVANE_RESOLVE
}

template <typename Entry, typename... Args>
int32_t DriverBinding::Call(Entry entry, const char* name, Args... args)
{
    if (!entry) {
        lastReason_ = library_ ? std::string("the driver library has no entry point ") + name : loadError_;
        return 0;
    }
    const int32_t result = entry(args...);
    lastReason_ = result ? std::string() : LibraryReason();
    return result;
}

std::string DriverBinding::LibraryReason() const
{
    if (!entry_.GetErrorString)
        return {};
    // Asking must not change the code the caller reads next.
    const uint32_t code = platform::GetLastError();
    std::array<char, 256> text{};
    const int32_t length = entry_.GetErrorString(code, text.data());
    platform::SetLastError(code);
    return std::string(text.data(), size_t(std::clamp(length, 0, 255)));
}

DriverBinding::~DriverBinding()
{
    CloseCard();
    UnloadDriver();
}

int32_t DriverBinding::OpenInterface(InterfaceConfigBlock& block)
{
    std::memcpy(block_.data(), block.data(), block_.size());
    return Call(entry_.OpenInterface, "OpenInterface", &interfaceHandle_, block.data());
}

int32_t DriverBinding::OpenInterface()
{
    return OpenInterface(block_);
}

int32_t DriverBinding::CloseCard()
{
    return Call(entry_.CloseCard, "CloseCard", interfaceHandle_);
}

int32_t DriverBinding::UnloadDriver()
{
    return Call(entry_.UnloadDriver, "UnloadDriver");
}

int32_t DriverBinding::HardwareConfigurationWindow()
{
    for (int i = 0; i < 4; ++i)
        block_[i] = static_cast<uint8_t>(HardwareConfigurationSignature >> (8 * i));
    return Call(entry_.HardwareConfigurationWindow, "HardwareConfigurationWindow", block_.data());
}

int32_t DriverBinding::ReadConfiguration(const char* path)
{
    return path ? Call(entry_.ReadConfiguration, "ReadConfiguration", path, block_.data()) : 0;
}

int32_t DriverBinding::SaveConfiguration(const char* path)
{
    return path ? Call(entry_.SaveConfiguration, "SaveConfiguration", path, block_.data()) : 0;
}

int32_t DriverBinding::Parameter_Get_USIGN8(uint16_t number, uint8_t& value)
{
    return Call(entry_.Parameter_Get_USIGN8, "Parameter_Get_USIGN8", interfaceHandle_, uint32_t(number), &value);
}

int32_t DriverBinding::Parameter_Get_USIGN32(uint16_t number, uint32_t& value)
{
    return Call(entry_.Parameter_Get_USIGN32, "Parameter_Get_USIGN32", interfaceHandle_, uint32_t(number), &value);
}

int32_t DriverBinding::Parameter_Get_ARRAY(uint16_t number, uint8_t& count, ParameterBuffer& buffer)
{
    return Call(entry_.Parameter_Get_ARRAY, "Parameter_Get_ARRAY", interfaceHandle_, uint32_t(number), &count,
                buffer.data());
}

int32_t DriverBinding::Parameter_Set_USIGN8(uint16_t number, uint8_t value)
{
    return Call(entry_.Parameter_Set_USIGN8, "Parameter_Set_USIGN8", interfaceHandle_, uint32_t(number), uint32_t(value));
}

int32_t DriverBinding::Parameter_Set_USIGN32(uint16_t number, uint32_t value)
{
    return Call(entry_.Parameter_Set_USIGN32, "Parameter_Set_USIGN32", interfaceHandle_, uint32_t(number), value);
}

int32_t DriverBinding::Parameter_Set_ARRAY(uint16_t number, uint8_t count, const uint8_t* bytes)
{
    return Call(entry_.Parameter_Set_ARRAY, "Parameter_Set_ARRAY", interfaceHandle_, uint32_t(number), uint32_t(count), bytes);
}

template <typename Entry>
int32_t DriverBinding::CallText(Entry entry, const char* name, std::string& text)
{
    std::array<char, 256> buffer{};
    const int32_t length = Call(entry, name, interfaceHandle_, buffer.data());
    text.assign(buffer.data(), size_t(std::clamp(length, 0, 255)));
    return length;
}

int32_t DriverBinding::Get_Device_Type(uint32_t& type)
{
    return Call(entry_.Get_Device_Type, "Get_Device_Type", interfaceHandle_, &type);
}

int32_t DriverBinding::Get_Vendor_Id(uint32_t& id)
{
    return Call(entry_.Get_Vendor_Id, "Get_Vendor_Id", interfaceHandle_, &id);
}

int32_t DriverBinding::Get_Product_Code(uint32_t& code)
{
    return Call(entry_.Get_Product_Code, "Get_Product_Code", interfaceHandle_, &code);
}

int32_t DriverBinding::Get_Revision_Number(uint32_t& revision)
{
    return Call(entry_.Get_Revision_Number, "Get_Revision_Number", interfaceHandle_, &revision);
}

int32_t DriverBinding::Get_Serial_Number(uint32_t& serial)
{
    return Call(entry_.Get_Serial_Number, "Get_Serial_Number", interfaceHandle_, &serial);
}

int32_t DriverBinding::Get_Product_Name(std::string& name)
{
    return CallText(entry_.Get_Product_Name, "Get_Product_Name", name);
}

int32_t DriverBinding::Hardware_Version(std::string& version)
{
    return CallText(entry_.Hardware_Version, "Hardware_Version", version);
}

int32_t DriverBinding::Firmware_Version(std::string& version)
{
    return CallText(entry_.Firmware_Version, "Firmware_Version", version);
}

int32_t DriverBinding::Find_Modules(uint32_t& count, std::string& csv)
{
    std::string buffer(64 * 1024, '\0');
    const int32_t found = Call(entry_.Find_Modules, "Find_Modules", block_.data(), &count, buffer.data(), uint32_t(buffer.size()));
    csv = found ? std::string(buffer.c_str()) : std::string();
    return found;
}

int32_t DriverBinding::DLL_Version(uint32_t& version)
{
    return Call(entry_.DLL_Version, "DLL_Version", &version);
}

namespace {

uint32_t BlockWord(const InterfaceConfigBlock& block, size_t offset)
{
    return static_cast<uint32_t>(block[offset]) | static_cast<uint32_t>(block[offset + 1]) << 8 |
           static_cast<uint32_t>(block[offset + 2]) << 16 | static_cast<uint32_t>(block[offset + 3]) << 24;
}

} // namespace

uint32_t DriverBinding::NodeId() const
{
    return BlockWord(block_, KORVANE_CONFIG_NODE_OFFSET);
}

void DriverBinding::SetNodeId(uint32_t node)
{
    for (int i = 0; i < 4; ++i)
        block_[KORVANE_CONFIG_NODE_OFFSET + i] = static_cast<uint8_t>(node >> (8 * i));
}

uint32_t DriverBinding::ConnectionType() const
{
    return BlockWord(block_, 12);
}

bool DriverBinding::SimulatedModule() const
{
    return BlockWord(block_, KORVANE_CONFIG_KIND_OFFSET) == KORVANE_KIND_SIMULATED;
}

} // namespace driver
