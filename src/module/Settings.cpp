// Reading the module's ten settings into the window's copy and storing the copy back.
#include "app/TForm_Korvane.h"

#include "driver/DriverBinding.h"
#include "module/SettingsExchange.h"
#include "module/SettingsProfile.h"
#include "platform/MessageBox.h"

#include <QStringList>

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

namespace settingsexchange {

bool Read(driver::DriverBinding& binding, driver::ModuleSettings& settings)
{
    for (const ParameterInfo& entry : driver::SettingsOrder) {
        if (ReadEntry(binding, entry, settings))
            continue;
        // A module that does not answer DeviceMode is a memory module.
        if (!IsDeviceMode(entry))
            return false;
        settings.DeviceMode = 0;
    }
    return true;
}

StoreOutcome Store(driver::DriverBinding& binding, const driver::ModuleSettings& settings)
{
    StoreOutcome outcome{true, true};
    for (const ParameterInfo& entry : driver::SettingsOrder) {
        if (!outcome.stored)
            break;
        if (IsDeviceMode(entry))
            outcome.deviceModeTaken = WriteEntry(binding, entry, settings);
        else
            outcome.stored = WriteEntry(binding, entry, settings);
    }
    return outcome;
}

QString Unkept(driver::DriverBinding& binding, const driver::ModuleSettings& sent, bool deviceModeTaken)
{
    driver::ModuleSettings kept = sent;
    if (!Read(binding, kept))
        return QStringLiteral("they cannot be read back: %1")
            .arg(QString::fromStdString(binding.LastReason()));
    QStringList differing;
    for (const ParameterInfo& entry : driver::SettingsOrder) {
        const uint32_t was = settingsprofile::ValueOf(sent, entry), is = settingsprofile::ValueOf(kept, entry);
        // A module without DeviceMode refuses it silently and reads as a memory module.
        if (was != is && (deviceModeTaken || !IsDeviceMode(entry)))
            differing.append(QStringLiteral("%1: sent %2, read back %3")
                                 .arg(QLatin1String(entry.name.data(), entry.name.size()),
                                      settingsprofile::ShownValue(entry, was), settingsprofile::ShownValue(entry, is)));
    }
    return differing.join(QLatin1String("; "));
}

} // namespace settingsexchange

bool TForm_Korvane::ReadSettings()
{
    SettingsRead = Driver && settingsexchange::Read(*Driver, ModuleSettings);
    if (SettingsRead)
        ModuleDeviceMode = ModuleSettings.DeviceMode;
    return SettingsRead;
}

void TForm_Korvane::StoreSettings()
{
    const auto [stored, deviceModeTaken] = Driver ? settingsexchange::Store(*Driver, ModuleSettings)
                                                  : settingsexchange::StoreOutcome{};
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
        const QString unkept = settingsexchange::Unkept(*Driver, ModuleSettings, deviceModeTaken);
        if (unkept.isEmpty())
            platform::MessageBox(tr("Settings Stored!"), tr("Ok"), platform::MessageBoxButtons::OK);
        else
            platform::MessageBox(tr("The module did not keep every setting it was sent!"), tr("Error"),
                                 platform::MessageBoxButtons::OK, unkept);
    } else {
        platform::MessageBox(
            tr("Settings cannot be stored!\r\n\r\nMake sure Module is blank\r\nbefore changing modes!"), tr("Error"), platform::MessageBoxButtons::OK, DriverReason());
    }
    SetDefaultFileNames();
}
