#include "module/ClockSync.h"

#include "contract/ModuleParameters.h"
#include "driver/DriverBinding.h"
#include "platform/Services.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace clocksync {

namespace {

using driver::ModuleParameter::ModuleDate;
using driver::ModuleParameter::ModuleTime;

const int PollMs = 20;
const int MeasureMs = 2000;
const int LateMs = 10;
const int RoundTripProbes = 3;
const QLatin1String TimeFormat("HH:mm:ss");
const QLatin1String DateFormat("MM/dd/yyyy");

QDateTime Midpoint(const QDateTime& from, const QDateTime& to)
{
    return from.addMSecs(from.msecsTo(to) / 2);
}

// The module's time text and the PC time in the middle of its exchange, when the module most
// likely looked at its clock.
struct Reading {
    QString time;
    QDateTime at;
};

// The first whole second after `earliest` from which a round trip stays within the day: the date
// follows the time by a round trip and must find the module still on the time's day.
QDateTime NextTarget(const QDateTime& earliest, qint64 roundTripMs)
{
    const QTime second = earliest.time();
    const QDateTime target = QDateTime(earliest.date(), QTime(second.hour(), second.minute(), second.second())).addSecs(1);
    if (target.addMSecs(roundTripMs + 1000).date() != target.date())
        return QDateTime(target.date().addDays(1), QTime(0, 0));
    return target;
}

bool Read(driver::DriverBinding& binding, Reading& reading)
{
    const QDateTime asked = platform::Now();
    if (!ReadClockText(binding, ModuleTime, reading.time))
        return false;
    reading.at = Midpoint(asked, platform::Now());
    return true;
}

// ahead and behind: whole sentences with "%1" for the seconds, since languages place the words differently.
QString Describe(double offsetSeconds, int decimals, const char* ahead, const char* behind)
{
    // The seconds in the user's notation (a decimal comma in German), like the words around them.
    return QCoreApplication::translate("clocksync", offsetSeconds < 0 ? behind : ahead)
        .arg(QLocale().toString(std::abs(offsetSeconds), 'f', decimals));
}

} // namespace

bool ReadClockText(driver::DriverBinding& binding, uint16_t number, QString& text)
{
    uint8_t count = 0;
    driver::ParameterBuffer buffer{};
    if (binding.Parameter_Get_ARRAY(number, count, buffer) == 0)
        return false;
    const auto* bytes = reinterpret_cast<const char*>(buffer.data());
    text = QString::fromLatin1(bytes, std::find(bytes, bytes + count, '\0') - bytes);
    return true;
}

bool WriteClockText(driver::DriverBinding& binding, uint16_t number, const QByteArray& text)
{
    driver::ParameterBuffer buffer{};
    const auto count = uint8_t(std::min<qsizetype>(text.size(), qsizetype(buffer.size() - 1)));
    std::copy_n(text.constData(), count, buffer.begin());
    return binding.Parameter_Set_ARRAY(number, count, buffer.data()) != 0;
}

WriteResult SyncWithPc(driver::DriverBinding& binding)
{
    platform::WaitCursor hourglass;
    // The shortest of a few round trips: a busy PC can only lengthen one.
    qint64 roundTripMs = std::numeric_limits<qint64>::max();
    for (int probe = 0; probe < RoundTripProbes; ++probe) {
        const QDateTime sent = platform::Now();
        if (!WriteClockText(binding, ModuleTime, sent.toString(TimeFormat).toLatin1()))
            return WriteResult::TimeRefused;
        roundTripMs = std::min(roundTripMs, sent.msecsTo(platform::Now()));
    }
    const qint64 halfTripMs = roundTripMs / 2;

    QDateTime target = NextTarget(platform::Now().addMSecs(halfTripMs), roundTripMs);
    // Waking up late would leave the module behind by as much: then aim at the next second, once.
    for (int aim = 1;; ++aim) {
        const QDateTime sendAt = target.addMSecs(-halfTripMs);
        platform::Sleep(uint32_t(std::max<qint64>(0, platform::Now().msecsTo(sendAt))));
        const QDateTime now = platform::Now();
        if (aim == 2 || sendAt.msecsTo(now) <= LateMs)
            break;
        target = NextTarget(now.addMSecs(halfTripMs), roundTripMs);
    }

    if (!WriteClockText(binding, ModuleTime, target.toString(TimeFormat).toLatin1()))
        return WriteResult::TimeRefused;
    if (!WriteClockText(binding, ModuleDate, target.toString(DateFormat).toLatin1()))
        return WriteResult::DateRefused;
    return WriteResult::Written;
}

std::optional<double> MeasureOffset(driver::DriverBinding& binding)
{
    platform::WaitCursor hourglass;
    Reading previous;
    if (!Read(binding, previous) || !QTime::fromString(previous.time, TimeFormat).isValid())
        return std::nullopt;
    const QDateTime deadline = previous.at.addMSecs(MeasureMs);
    // Bounded by count as well, so a clock that stands still cannot hold the loop.
    for (int poll = 0; poll < MeasureMs / PollMs; ++poll) {
        platform::Sleep(PollMs);
        Reading current;
        if (!Read(binding, current))
            return std::nullopt;
        if (current.time != previous.time) {
            const QTime time = QTime::fromString(current.time, TimeFormat);
            QString dateText;
            if (!time.isValid() || !ReadClockText(binding, ModuleDate, dateText))
                return std::nullopt;
            const QDate date = QDate::fromString(dateText, DateFormat);
            if (!date.isValid())
                return std::nullopt;
            // The module's second began between the two readings.
            return double(Midpoint(previous.at, current.at).msecsTo(QDateTime(date, time))) / 1000;
        }
        if (current.at > deadline)
            break;
        previous = current;
    }
    return std::nullopt;
}

QString DialogText(double offsetSeconds)
{
    return Describe(offsetSeconds, 2, QT_TRANSLATE_NOOP("clocksync", "Module clock: %1 s ahead of the PC"),
                    QT_TRANSLATE_NOOP("clocksync", "Module clock: %1 s behind the PC"));
}

QString StatusText(double offsetSeconds)
{
    return Describe(offsetSeconds, 1, QT_TRANSLATE_NOOP("clocksync", "Clock: module %1 s ahead of the PC"),
                    QT_TRANSLATE_NOOP("clocksync", "Clock: module %1 s behind the PC"));
}

} // namespace clocksync
