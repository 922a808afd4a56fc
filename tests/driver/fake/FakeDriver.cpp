// A driver library for the binding's tests: records every call with its arguments and answers
// what the test scripted. Built twice: complete, and with FAKE_PARTIAL lacking some entry points.
#include "FakeDriver.h"

#include "contract/KorvaneApi.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef FAKE_FROM_ENVIRONMENT
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#endif

namespace {

FakeDriverState state;

#ifdef FAKE_FROM_ENVIRONMENT
bool Names(const char* variable, const char* name)
{
    const char* value = std::getenv(variable);
    return value != nullptr && std::strcmp(value, name) == 0;
}

// For a test that runs the whole program: every call is appended to the file that
// KORVANE_FAKE_LOG names, and an entry point named by KORVANE_FAKE_THROW throws, one named by
// KORVANE_FAKE_THREAD_THROW has a thread of the library throw, as a broken library would.
void ActAsTheEnvironmentSays(const char* name)
{
    if (const char* log = std::getenv("KORVANE_FAKE_LOG")) {
        if (std::FILE* file = std::fopen(log, "a")) {
            std::fprintf(file, "%s\n", name);
            std::fclose(file);
        }
    }
    if (Names("KORVANE_FAKE_THROW", name))
        throw std::runtime_error(std::string(name) + " broke inside the library");
    if (Names("KORVANE_FAKE_THREAD_THROW", name))
        std::thread([name] { throw std::runtime_error(std::string(name) + " broke a thread of the library"); }).join();
}
#endif

int32_t Record(const char* name, std::vector<uint64_t> args = {}, std::string text = {},
               std::vector<uint8_t> bytes = {})
{
#ifdef FAKE_FROM_ENVIRONMENT
    ActAsTheEnvironmentSays(name);
#endif
    state.calls.push_back({name, std::move(args), std::move(text), std::move(bytes)});
    return state.result;
}

uint64_t Address(const void* pointer)
{
    return reinterpret_cast<uintptr_t>(pointer);
}

std::vector<uint8_t> Block(const uint8_t* block)
{
    return {block, block + KORVANE_CONFIG_BLOCK_SIZE};
}

} // namespace

extern "C" {

void* FakeDriver_State()
{
    return &state;
}

int32_t KORVANE_CALL UnloadDriver(void)
{
    return Record("UnloadDriver");
}

int32_t KORVANE_CALL OpenInterface(uint32_t* handle, uint8_t* block)
{
    const int32_t result = Record("OpenInterface", {Address(handle), Address(block)}, {}, Block(block));
    *handle = state.handleToOpen;
    block[KORVANE_CONFIG_BLOCK_SIZE - 1] = 0xA5; // shows which block the library was given
    if (result == 0)
        errno = static_cast<int>(state.lastErrorOnFailure);
    return result;
}

int32_t KORVANE_CALL CloseCard(uint32_t handle)
{
    return Record("CloseCard", {handle});
}

#ifndef FAKE_PARTIAL
int32_t KORVANE_CALL HardwareConfigurationWindow(uint8_t* block)
{
    const int32_t result = Record("HardwareConfigurationWindow", {Address(block)}, {}, Block(block));
    block[12] = 1; // the user picked RS232
    return result;
}
#endif

int32_t KORVANE_CALL ReadConfiguration(const char* path, uint8_t* block)
{
    const int32_t result = Record("ReadConfiguration", {Address(block)}, path);
    const uint8_t connectionType[4] = {0x04, 0x03, 0x02, 0x01};
    std::memcpy(block + 12, connectionType, sizeof connectionType);
    block[KORVANE_CONFIG_NODE_OFFSET] = 5; // the node-ID, as a library always gives one
    return result;
}

int32_t KORVANE_CALL SaveConfiguration(const char* path, uint8_t* block)
{
    return Record("SaveConfiguration", {Address(block)}, path, Block(block));
}

int32_t KORVANE_CALL Parameter_Get_USIGN8(uint32_t handle, uint32_t number, uint8_t* value)
{
    *value = state.u8Value;
    return Record("Parameter_Get_USIGN8", {handle, number, Address(value)});
}

#ifndef FAKE_PARTIAL
int32_t KORVANE_CALL Parameter_Get_USIGN32(uint32_t handle, uint32_t number, uint32_t* value)
{
    *value = state.u32Value;
    return Record("Parameter_Get_USIGN32", {handle, number, Address(value)});
}
#endif

int32_t KORVANE_CALL Parameter_Get_ARRAY(uint32_t handle, uint32_t number, uint8_t* count, uint8_t* buffer)
{
    *count = static_cast<uint8_t>(state.arrayValue.size());
    std::copy(state.arrayValue.begin(), state.arrayValue.end(), buffer);
    return Record("Parameter_Get_ARRAY", {handle, number, Address(count), Address(buffer)});
}

int32_t KORVANE_CALL Parameter_Set_USIGN8(uint32_t handle, uint32_t number, uint32_t value)
{
    return Record("Parameter_Set_USIGN8", {handle, number, value});
}

int32_t KORVANE_CALL Parameter_Set_USIGN32(uint32_t handle, uint32_t number, uint32_t value)
{
    return Record("Parameter_Set_USIGN32", {handle, number, value});
}

#ifndef FAKE_PARTIAL
int32_t KORVANE_CALL Parameter_Set_ARRAY(uint32_t handle, uint32_t number, uint32_t count, const uint8_t* bytes)
{
    return Record("Parameter_Set_ARRAY", {handle, number, count, Address(bytes)}, {},
                  {bytes, bytes + (count & 0xFF)});
}
#endif

// Asked after every failure: no exchange with the module, so not recorded, and no reason.
int32_t KORVANE_CALL GetErrorString(uint32_t, char* text)
{
    text[0] = 0;
    return 0;
}

// Looked up by the binding but never called by the tool; their arguments do not matter here.
#define FAKE_UNCALLED(name) \
    int32_t KORVANE_CALL name() { return Record(#name); }
FAKE_UNCALLED(LoadDriver)
FAKE_UNCALLED(CloseInterface)
FAKE_UNCALLED(DLL_Version)
FAKE_UNCALLED(Download_Firmware)
FAKE_UNCALLED(Upload_Firmware)
FAKE_UNCALLED(Set_Active_Sector)
FAKE_UNCALLED(Get_Active_Sector)
FAKE_UNCALLED(Set_Boot_Sector)
FAKE_UNCALLED(Get_Boot_Sector)
FAKE_UNCALLED(Erase_Sector)
FAKE_UNCALLED(Execute_Firmware)
FAKE_UNCALLED(Get_Mode)
FAKE_UNCALLED(OpenCard)
FAKE_UNCALLED(Get_Sector_Checksum)
FAKE_UNCALLED(Set_Sector_Checksum)
FAKE_UNCALLED(Get_Sector_Size)
FAKE_UNCALLED(Parameter_Get_USIGN16)

// A module without CiA 301's identity objects: the connect asks, and learns nothing. Not
// recorded, so the recorded calls stay the exchanges of the module's parameters.
#define FAKE_NO_IDENTITY(name) \
    int32_t KORVANE_CALL name() { return 0; }
FAKE_NO_IDENTITY(Get_Device_Type)
FAKE_NO_IDENTITY(Get_Vendor_Id)
FAKE_NO_IDENTITY(Get_Product_Code)
FAKE_NO_IDENTITY(Get_Revision_Number)
FAKE_NO_IDENTITY(Get_Serial_Number)
FAKE_NO_IDENTITY(Get_Product_Name)
FAKE_NO_IDENTITY(Hardware_Version)
FAKE_NO_IDENTITY(Firmware_Version)
FAKE_UNCALLED(Parameter_Set_USIGN16)

} // extern "C"
