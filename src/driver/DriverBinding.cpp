#include "driver/DriverBinding.h"

#include <cstdio>
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
        // Connect then says only "Cannot Open Interface"; the loader's reason goes here.
        std::fprintf(stderr, "korvane: cannot load the driver library %s: %s\n",
                     platform::LibraryFileName(library ? library : "").c_str(), platform::LibraryError().c_str());
        return;
    }
#define KORVANE_RESOLVE(name, ret, params) \
    entry_.name = reinterpret_cast<Korvane_##name##_fn>(platform::LibrarySymbol(library_, #name));
    KORVANE_ENTRY_POINTS(KORVANE_RESOLVE)
#undef KORVANE_RESOLVE
}

DriverBinding::~DriverBinding()
{
    CloseCard();
    UnloadDriver();
}

int32_t DriverBinding::OpenInterface(InterfaceConfigBlock& block)
{
    std::memcpy(block_.data(), block.data(), block_.size());
    return entry_.OpenInterface ? entry_.OpenInterface(&interfaceHandle_, block.data()) : 0;
}

int32_t DriverBinding::OpenInterface()
{
    return OpenInterface(block_);
}

int32_t DriverBinding::CloseCard()
{
    return entry_.CloseCard ? entry_.CloseCard(interfaceHandle_) : 0;
}

int32_t DriverBinding::UnloadDriver()
{
    return entry_.UnloadDriver ? entry_.UnloadDriver() : 0;
}

int32_t DriverBinding::HardwareConfigurationWindow()
{
    for (int i = 0; i < 4; ++i)
        block_[i] = static_cast<uint8_t>(HardwareConfigurationSignature >> (8 * i));
    return entry_.HardwareConfigurationWindow ? entry_.HardwareConfigurationWindow(block_.data()) : 0;
}

int32_t DriverBinding::ReadConfiguration(const char* path)
{
    return entry_.ReadConfiguration && path ? entry_.ReadConfiguration(path, block_.data()) : 0;
}

int32_t DriverBinding::SaveConfiguration(const char* path)
{
    return entry_.SaveConfiguration && path ? entry_.SaveConfiguration(path, block_.data()) : 0;
}

int32_t DriverBinding::Parameter_Get_USIGN8(uint16_t number, uint8_t& value)
{
    return entry_.Parameter_Get_USIGN8 ? entry_.Parameter_Get_USIGN8(interfaceHandle_, number, &value) : 0;
}

int32_t DriverBinding::Parameter_Get_USIGN32(uint16_t number, uint32_t& value)
{
    return entry_.Parameter_Get_USIGN32 ? entry_.Parameter_Get_USIGN32(interfaceHandle_, number, &value) : 0;
}

int32_t DriverBinding::Parameter_Get_ARRAY(uint16_t number, uint8_t& count, ParameterBuffer& buffer)
{
    return entry_.Parameter_Get_ARRAY ? entry_.Parameter_Get_ARRAY(interfaceHandle_, number, &count, buffer.data())
                                      : 0;
}

int32_t DriverBinding::Parameter_Set_USIGN8(uint16_t number, uint8_t value)
{
    return entry_.Parameter_Set_USIGN8 ? entry_.Parameter_Set_USIGN8(interfaceHandle_, number, value) : 0;
}

int32_t DriverBinding::Parameter_Set_USIGN32(uint16_t number, uint32_t value)
{
    return entry_.Parameter_Set_USIGN32 ? entry_.Parameter_Set_USIGN32(interfaceHandle_, number, value) : 0;
}

int32_t DriverBinding::Parameter_Set_ARRAY(uint16_t number, uint8_t count, const uint8_t* bytes)
{
    return entry_.Parameter_Set_ARRAY ? entry_.Parameter_Set_ARRAY(interfaceHandle_, number, count, bytes) : 0;
}

namespace {

uint32_t BlockWord(const InterfaceConfigBlock& block, size_t offset)
{
    return static_cast<uint32_t>(block[offset]) | static_cast<uint32_t>(block[offset + 1]) << 8 |
           static_cast<uint32_t>(block[offset + 2]) << 16 | static_cast<uint32_t>(block[offset + 3]) << 24;
}

} // namespace

uint32_t DriverBinding::ConnectionType() const
{
    return BlockWord(block_, 12);
}

bool DriverBinding::SimulatedModule() const
{
    return BlockWord(block_, KORVANE_CONFIG_KIND_OFFSET) == KORVANE_KIND_SIMULATED;
}

} // namespace driver
