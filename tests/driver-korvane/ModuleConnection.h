// Opens the interface configured under the tool's registry path through the real entry points,
// as the tool does: ReadConfiguration, then OpenInterface with the block.
#pragma once

#include "KorvaneLibrary.h"
#include "support/SimulatedModule.h"

#include <QByteArray>

#include <array>
#include <cerrno>
#include <string>

struct ModuleConnection {
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    uint32_t handle = 0;
    int32_t opened = 0;
    int error = 0;

    ModuleConnection()
    {
        library().ReadConfiguration(testsupport::SimulatedModule::registryPath(), block.data());
        errno = 0;
        opened = library().OpenInterface(&handle, block.data());
        error = errno;
    }
    ~ModuleConnection()
    {
        if (opened)
            library().CloseCard(handle);
    }

    bool getU8(uint32_t number, uint8_t& value) const { return library().Parameter_Get_USIGN8(handle, number, &value); }
    bool getU32(uint32_t number, uint32_t& value) const { return library().Parameter_Get_USIGN32(handle, number, &value); }
    bool setU8(uint32_t number, uint32_t value) const { return library().Parameter_Set_USIGN8(handle, number, value); }
    bool setU32(uint32_t number, uint32_t value) const { return library().Parameter_Set_USIGN32(handle, number, value); }
    bool getArray(uint32_t number, QByteArray& bytes) const
    {
        uint8_t buffer[256];
        uint8_t count = 0;
        if (!library().Parameter_Get_ARRAY(handle, number, &count, buffer))
            return false;
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), count);
        return true;
    }
    bool setArray(uint32_t number, const QByteArray& bytes) const
    {
        return library().Parameter_Set_ARRAY(handle, number, uint32_t(bytes.size()),
                                             reinterpret_cast<const uint8_t*>(bytes.constData()));
    }
};
