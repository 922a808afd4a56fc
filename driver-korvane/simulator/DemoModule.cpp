#include "simulator/DemoModule.h"

#include "simulator/ModuleParameters.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace korvane::module {

namespace {

constexpr int kRecords = 320;
constexpr uint32_t kDataLoggerMode = 1; // "CAN Data/Fault Logger"

QByteArray hexBytes(std::initializer_list<int> bytes)
{
    QByteArray text;
    for (int byte : bytes)
        text += QByteArray::number(byte & 0xFF, 16).rightJustified(2, '0').toUpper() + ' ';
    text.chop(1);
    return text;
}

// One logged frame per record, as "mm/dd/yyyy hh:mm:ss,ID,DLC,DATA": engine data, temperatures,
// a heartbeat and now and then an emergency, with values that drift the way real signals do.
QByteArray records()
{
    QByteArray log;
    QDateTime moment(QDate(2026, 3, 2), QTime(7, 30, 0));
    for (int i = 0; i < kRecords; ++i) {
        moment = moment.addSecs(1 + (i * 7) % 5);
        QByteArray line = moment.toString(QStringLiteral("MM/dd/yyyy HH:mm:ss")).toLatin1();
        const int rpm = 800 + (i * 37) % 1400;
        const int speed = (i * 3) % 96;
        const int coolant = 40 + i / 8;
        const int oil = 35 + i / 9;
        switch (i % 10) {
        case 4:
        case 9:
            line += ",281,4," + hexBytes({coolant, oil, 0x0C, 0x80 + i % 7});
            break;
        case 7:
            line += ",701,1," + hexBytes({0x05});
            break;
        default:
            line += ",181,8," + hexBytes({rpm, rpm >> 8, speed, 0, i, i >> 8, 0x10, 0x27});
        }
        if (i % 97 == 96)
            line += '\n' + moment.toString(QStringLiteral("MM/dd/yyyy HH:mm:ss")).toLatin1() + ",085,8,"
                  + hexBytes({0x10, 0x42, 0x21, 0, 0, 0, 0, 0});
        log += line + '\n';
    }
    return log;
}

} // namespace

QByteArray demoModuleState()
{
    // Every setting written out, so that whoever edits the file sees them all: a new module's
    // values but for the device mode of a data logger.
    QJsonObject settings;
    for (const Setting& setting : kSettings)
        settings[QLatin1String(setting.name.data(), qsizetype(setting.name.size()))] =
            qint64(setting.number == DeviceMode ? kDataLoggerMode : setting.defaultValue);
    const QJsonObject state{
        {"settings", settings},
        {"memory", QString::fromLatin1(records())},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Indented);
}

} // namespace korvane::module
