// A settings profile: the module's ten settings as a CANopen device configuration file (an INI
// file with the objects 0x2000 + parameter number), written from the values read from a module
// and read back from ours and from other tools' files.
#pragma once

#include "contract/ModuleParameters.h"
#include "module/ModuleIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace settingsprofile {

struct Profile {
    // The settings the file gives, by position in SettingsOrder; others stay as they are.
    std::array<std::optional<uint32_t>, driver::SettingsCount> values;
    std::optional<uint32_t> productCode;

    // `settings` with the values of this profile in place.
    driver::ModuleSettings Over(driver::ModuleSettings settings) const;
};

// The file's text, its lines ended by LF (written as CRLF). `fileName` is the name it is saved
// under, `created` the local time of saving.
// What the identity does not give is left out.
QByteArray Write(const driver::ModuleSettings& settings, const ModuleIdentity& identity, const QString& fileName,
                 const QDateTime& created);

// The profile in `text`; on a fault nothing, and "line N: what is wrong" in `error`.
std::optional<Profile> Parse(const QByteArray& text, QString& error);

// Reads and parses the file at `path`: a regular file of at most 1 MiB. On a fault nothing, and the
// file, line and fault in `error`.
std::optional<Profile> Read(const QString& path, QString& error);

// The value of a setting as the Settings page shows it ("250k", "hh:mm:ss", "0x0A", ...); the
// words "on", "off" and "bit/s" in English, as in every reason.
QString ShownValue(const driver::ParameterInfo& setting, uint32_t value);

// The value a setting has in `settings`.
uint32_t ValueOf(const driver::ModuleSettings& settings, const driver::ParameterInfo& setting);

} // namespace settingsprofile
