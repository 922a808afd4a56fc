// The dated default names of the two upload files.
#pragma once

#include <QDate>
#include <QString>

#include <cstdint>

struct DefaultFileNames {
    QString memory;
    QString configuration;
};

// DeviceMode 1 (the CAN data/fault logger) gives the logger's names, every other value the
// memory module's.
DefaultFileNames DefaultFileNamesFor(uint8_t deviceMode, const QDate& date);
