// The C interface of the module driver library, shared by the tool's binding and by our own
// stand-in library. Every entry point returns a 32-bit int, zero meaning failure. Each argument
// occupies one 32-bit slot: parameter numbers are significant in their low 16 bits only, 8-bit
// values and counts in their low 8 bits only, so the library masks what it receives.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define KORVANE_CALL __stdcall
#else
#define KORVANE_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVANE_CONFIG_BLOCK_SIZE = 300 };

// Bytes 4-7 of the configuration block, little-endian: the kind of interface, which a successful
// OpenInterface leaves there. Only the built-in simulated module is told apart; bytes 12-15 keep
// telling USB (0) from RS232 for a real interface.
enum { KORVANE_CONFIG_KIND_OFFSET = 4 };
#define KORVANE_KIND_SIMULATED 1u

// Bytes 8-11 of the configuration block, little-endian: the node-ID the interface talks to. The
// tool may set it between ReadConfiguration and OpenInterface for one run.
enum { KORVANE_CONFIG_NODE_OFFSET = 8 };

// Last-error code left by a failed OpenInterface when the interface is not in the needed mode.
#define KORVANE_ERROR_WRONG_MODE 0x20000000u

// X(name, return, parameter list): the 38 entry points of the Parts in the order the tool looks
// them up, and after them the library's own additions, which a library may lack.
// The module's identity: numbers through a pointer to a u32; texts (Get_Product_Name,
// Hardware_Version, Firmware_Version) as GetErrorString's, UTF-8 with a terminating zero into a
// buffer of at least 256 bytes, the length (up to 255) answered; 0 when the module does not
// answer or has no such object.
#define KORVANE_ENTRY_POINTS(X)                                                                  \
    X(UnloadDriver, int32_t, (void))                                                             \
    X(LoadDriver, int32_t, (void))                                                               \
    X(OpenInterface, int32_t, (uint32_t * handle, uint8_t * block))                              \
    X(CloseInterface, int32_t, (uint32_t handle))                                                \
    X(CloseCard, int32_t, (uint32_t handle))                                                     \
    X(Hardware_Version, int32_t, (uint32_t handle, char* version))                               \
    X(Get_Serial_Number, int32_t, (uint32_t handle, uint32_t * serial))                          \
    X(Firmware_Version, int32_t, (uint32_t handle, char* version))                               \
    X(DLL_Version, int32_t, (uint32_t * version))                                                \
    X(GetErrorString, int32_t, (uint32_t code, char* text))                                      \
    X(Download_Firmware, int32_t, (uint32_t handle, const char* fileName))                       \
    X(Upload_Firmware, int32_t, (uint32_t handle, const char* fileName))                         \
    X(Set_Active_Sector, int32_t, (uint32_t handle, uint32_t sector))                            \
    X(Get_Active_Sector, int32_t, (uint32_t handle, uint32_t * sector))                          \
    X(Set_Boot_Sector, int32_t, (uint32_t handle, uint32_t sector))                              \
    X(Get_Boot_Sector, int32_t, (uint32_t handle, uint32_t * sector))                            \
    X(Erase_Sector, int32_t, (uint32_t handle, uint32_t sector))                                 \
    X(Execute_Firmware, int32_t, (uint32_t handle))                                              \
    X(Get_Mode, int32_t, (uint32_t handle, uint32_t * mode))                                     \
    X(OpenCard, int32_t, (uint32_t * handle, uint8_t * block))                                   \
    X(Get_Sector_Checksum, int32_t, (uint32_t handle, uint32_t sector, uint32_t * checksum))     \
    X(Set_Sector_Checksum, int32_t, (uint32_t handle, uint32_t sector, uint32_t checksum))       \
    X(Get_Sector_Size, int32_t, (uint32_t handle, uint32_t sector, uint32_t * size))             \
    X(Get_Device_Type, int32_t, (uint32_t handle, uint32_t * type))                              \
    X(Get_Product_Code, int32_t, (uint32_t handle, uint32_t * code))                             \
    X(Get_Vendor_Id, int32_t, (uint32_t handle, uint32_t * id))                                  \
    X(Get_Product_Name, int32_t, (uint32_t handle, char* name))                                  \
    X(HardwareConfigurationWindow, int32_t, (uint8_t * block))                                   \
    X(ReadConfiguration, int32_t, (const char* path, uint8_t* block))                            \
    X(SaveConfiguration, int32_t, (const char* path, uint8_t* block))                            \
    X(Parameter_Get_USIGN8, int32_t, (uint32_t handle, uint32_t number, uint8_t * value))        \
    X(Parameter_Get_USIGN16, int32_t, (uint32_t handle, uint32_t number, uint16_t * value))      \
    X(Parameter_Get_USIGN32, int32_t, (uint32_t handle, uint32_t number, uint32_t * value))      \
    X(Parameter_Get_ARRAY, int32_t,                                                              \
      (uint32_t handle, uint32_t number, uint8_t * count, uint8_t * buffer))                     \
    X(Parameter_Set_USIGN8, int32_t, (uint32_t handle, uint32_t number, uint32_t value))         \
    X(Parameter_Set_USIGN16, int32_t, (uint32_t handle, uint32_t number, uint32_t value))        \
    X(Parameter_Set_USIGN32, int32_t, (uint32_t handle, uint32_t number, uint32_t value))        \
    X(Parameter_Set_ARRAY, int32_t,                                                              \
      (uint32_t handle, uint32_t number, uint32_t count, const uint8_t* bytes))                  \
    X(Find_Modules, int32_t, (uint8_t * block, uint32_t * count, char* csv, uint32_t size))      \
    X(Get_Revision_Number, int32_t, (uint32_t handle, uint32_t * revision))

// Find_Modules searches the bus of the interface in `block` (listening, then asking node-IDs
// 1-127) and writes what it found into `csv` (`size` bytes, zero-terminated): the header
// "node_id,device_type,vendor_id,product_code,revision,serial_number,device_name" and one line per
// module in node-ID order, `count` the modules. 0 when the interface cannot be opened or went away.

// Function-pointer types: Korvane_<name>_fn.
#define KORVANE_DECLARE_FN_TYPE(name, ret, params) typedef ret(KORVANE_CALL* Korvane_##name##_fn) params;
KORVANE_ENTRY_POINTS(KORVANE_DECLARE_FN_TYPE)
#undef KORVANE_DECLARE_FN_TYPE

#ifdef __cplusplus
}
#endif
