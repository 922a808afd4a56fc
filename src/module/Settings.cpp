// Reading the module's ten settings into the window's copy and storing the copy back.
#include "app/TForm_Korvane.h"

#include "driver/DriverBinding.h"
#include "platform/MessageBox.h"

namespace {
using driver::AccessType;
using driver::ParameterInfo;

bool IsDeviceMode(const ParameterInfo& entry)
{
    return entry.number == driver::ModuleParameter::DeviceMode;
}

// Each value goes into its field the moment it arrives.
bool ReadEntry(driver::DriverBinding& binding, const ParameterInfo& entry, driver::ModuleSettings& settings)
{
    if (entry.type == AccessType::U32) {
        uint32_t value = 0;
        if (binding.Parameter_Get_USIGN32(entry.number, value) == 0)
            return false;
        settings.*entry.u32Field = value;
        return true;
    }
    uint8_t value = 0;
    if (binding.Parameter_Get_USIGN8(entry.number, value) == 0)
        return false;
    settings.*entry.u8Field = value;
    return true;
}

bool WriteEntry(driver::DriverBinding& binding, const ParameterInfo& entry, const driver::ModuleSettings& settings)
{
    if (entry.type == AccessType::U32)
        return binding.Parameter_Set_USIGN32(entry.number, settings.*entry.u32Field) != 0;
    return binding.Parameter_Set_USIGN8(entry.number, settings.*entry.u8Field) != 0;
}
} // namespace

bool TForm_Korvane::ReadSettings()
{
    if (!Driver)
        return false;
    for (const ParameterInfo& entry : driver::SettingsOrder) {
        if (ReadEntry(*Driver, entry, ModuleSettings))
            continue;
        // A module that does not answer DeviceMode is a memory module.
        if (!IsDeviceMode(entry))
            return false;
        ModuleSettings.DeviceMode = 0;
    }
    ModuleDeviceMode = ModuleSettings.DeviceMode;
    return true;
}

void TForm_Korvane::StoreSettings()
{
    bool stored = Driver != nullptr;
    bool deviceModeTaken = true;
    for (const ParameterInfo& entry : driver::SettingsOrder) {
        if (!stored)
            break;
        if (IsDeviceMode(entry))
            deviceModeTaken = WriteEntry(*Driver, entry, ModuleSettings);
        else
            stored = WriteEntry(*Driver, entry, ModuleSettings);
    }
    // A module without the parameter refuses it silently; a mode the user chose that the module
    // refused is said, stays to be stored, and does not rename the upload files.
    if (stored && !deviceModeTaken && ModuleSettings.DeviceMode != ModuleDeviceMode) {
        platform::MessageBox(tr("The module did not accept the device mode!\r\n\r\nThe other settings were stored."),
                             tr("Error"), platform::MessageBoxButtons::OK, DriverReason());
        return;
    }
    if (stored) {
        SettingsChanged = false;
        if (deviceModeTaken)
            ModuleDeviceMode = ModuleSettings.DeviceMode;
        platform::MessageBox(tr("Settings Stored!"), tr("Ok"), platform::MessageBoxButtons::OK);
    } else {
        platform::MessageBox(
            tr("Settings cannot be stored!\r\n\r\nMake sure Module is blank\r\nbefore changing modes!"), tr("Error"), platform::MessageBoxButtons::OK, DriverReason());
    }
    SetDefaultFileNames();
}
