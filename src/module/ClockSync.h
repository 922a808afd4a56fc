// Setting the module's clock from the PC's to within a fraction of a second, and measuring how far
// the module's clock is off. Every wait and every reading of the PC clock goes through the
// platform services; the hourglass shows while they block.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace driver {
class DriverBinding;
}

namespace clocksync {

// A clock parameter as text: the delivered bytes up to the first zero byte among them.
bool ReadClockText(driver::DriverBinding& binding, uint16_t number, QString& text);
// Writes the text's bytes (at most 255) as the parameter's array, without a terminating zero.
bool WriteClockText(driver::DriverBinding& binding, uint16_t number, const QByteArray& text);

enum class WriteResult { Written, TimeRefused, DateRefused };

// Writes the PC's local time and date so that the module's seconds change with the PC's: a few
// writes of the time measure the round trip, then the time of the next whole second goes out half
// a round trip before that second begins, and the date follows within the same day.
WriteResult SyncWithPc(driver::DriverBinding& binding);

// Seconds the module's clock runs ahead of the PC's (negative: behind), from the moment the
// module's seconds change; nothing when the module gives no time and date or its seconds do not
// change within 2 s. Blocks for at most about 2 s.
std::optional<double> MeasureOffset(driver::DriverBinding& binding);

// An offset beyond this many seconds is worth a warning.
inline constexpr double WarningSeconds = 2.0;

QString DialogText(double offsetSeconds); // "Module clock: 0.04 s ahead of the PC"
QString StatusText(double offsetSeconds); // "Clock: module 2.4 s behind the PC"

} // namespace clocksync
