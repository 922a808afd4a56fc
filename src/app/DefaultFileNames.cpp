#include "app/DefaultFileNames.h"
#include "app/TForm_Korvane.h"

#include "app/FileNameEdit.h"
#include "platform/Services.h"

namespace {
const uint8_t LoggerDeviceMode = 1;

QString Dated(const char* format, const QDate& date)
{
    return QString::asprintf(format, date.year(), date.month(), date.day());
}
} // namespace

DefaultFileNames DefaultFileNamesFor(uint8_t deviceMode, const QDate& date)
{
    if (deviceMode == LoggerDeviceMode)
        return {Dated("FaultLog_%04d_%02d_%02d.csv", date), Dated("FaultConfig_%04d_%02d_%02d.csv", date)};
    return {Dated("MemFile_%04d_%02d_%02d.csv", date), Dated("ConfigFile_%04d_%02d_%02d.csv", date)};
}

void TForm_Korvane::SetDefaultFileNames()
{
    const DefaultFileNames names = DefaultFileNamesFor(ModuleSettings.DeviceMode, platform::Now().date());
    if (!ConfigFileGiven)
        AdvFileNameEdit_Config->setText(names.configuration);
    if (!MemoryFileGiven)
        AdvFileNameEdit_FileName->setText(names.memory);
}
