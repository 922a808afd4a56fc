#include "module/ModuleIdentity.h"

#include "driver/DriverBinding.h"

#include <QCoreApplication>

namespace {

QString Translated(const char* text) { return QCoreApplication::translate("ModuleIdentity", text); }

template <typename Read>
std::optional<uint32_t> Number(Read read)
{
    uint32_t value = 0;
    return read(value) ? std::optional<uint32_t>(value) : std::nullopt;
}

template <typename Read>
QString Text(Read read)
{
    std::string text;
    return read(text) ? QString::fromStdString(text) : QString();
}

} // namespace

QString HexWord(uint32_t value) { return QString::asprintf("0x%08X", unsigned(value)); }

ModuleIdentity ReadModuleIdentity(driver::DriverBinding& driver)
{
    ModuleIdentity identity;
    identity.deviceType = Number([&](uint32_t& v) { return driver.Get_Device_Type(v); });
    if (!identity.Known())
        return identity;
    identity.vendorId = Number([&](uint32_t& v) { return driver.Get_Vendor_Id(v); });
    identity.productCode = Number([&](uint32_t& v) { return driver.Get_Product_Code(v); });
    identity.revision = Number([&](uint32_t& v) { return driver.Get_Revision_Number(v); });
    identity.serialNumber = Number([&](uint32_t& v) { return driver.Get_Serial_Number(v); });
    identity.productName = Text([&](std::string& t) { return driver.Get_Product_Name(t); });
    identity.hardwareVersion = Text([&](std::string& t) { return driver.Hardware_Version(t); });
    identity.softwareVersion = Text([&](std::string& t) { return driver.Firmware_Version(t); });
    return identity;
}

QString IdentitySummary(const ModuleIdentity& identity)
{
    QStringList parts;
    if (!identity.productName.isEmpty())
        parts << identity.productName;
    if (identity.serialNumber)
        parts << QCoreApplication::translate("ModuleIdentity", "serial %1").arg(HexWord(*identity.serialNumber));
    return parts.join(QStringLiteral(", "));
}

QString IdentityDetails(const ModuleIdentity& identity)
{
    QStringList lines;
    const auto number = [&](const char* label, const std::optional<uint32_t>& value) {
        if (value)
            lines << Translated(label).arg(HexWord(*value));
    };
    const auto text = [&](const char* label, const QString& value) {
        if (!value.isEmpty())
            lines << Translated(label).arg(value);
    };
    text(QT_TRANSLATE_NOOP("ModuleIdentity", "Module: %1"), identity.productName);
    number(QT_TRANSLATE_NOOP("ModuleIdentity", "Serial number: %1"), identity.serialNumber);
    number(QT_TRANSLATE_NOOP("ModuleIdentity", "Vendor-ID: %1"), identity.vendorId);
    number(QT_TRANSLATE_NOOP("ModuleIdentity", "Product code: %1"), identity.productCode);
    number(QT_TRANSLATE_NOOP("ModuleIdentity", "Revision: %1"), identity.revision);
    text(QT_TRANSLATE_NOOP("ModuleIdentity", "Hardware: %1"), identity.hardwareVersion);
    text(QT_TRANSLATE_NOOP("ModuleIdentity", "Software: %1"), identity.softwareVersion);
    return lines.join(QLatin1Char('\n'));
}
