#include "simulator/ModuleClock.h"

namespace korvane::module {

namespace {

// The number written by `digits` decimal digits at `at`; signs and blanks are not digits.
std::optional<int> field(const QByteArray& text, int at, int digits)
{
    int value = 0;
    for (int i = at; i < at + digits; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<QTime> parseModuleTime(const QByteArray& text)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    const auto hour = field(text, 0, 2), minute = field(text, 3, 2), second = field(text, 6, 2);
    if (!hour || !minute || !second)
        return std::nullopt;
    const QTime time(*hour, *minute, *second);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

std::optional<QDate> parseModuleDate(const QByteArray& text)
{
    if (text.size() != 10 || text[2] != '/' || text[5] != '/')
        return std::nullopt;
    const auto month = field(text, 0, 2), day = field(text, 3, 2), year = field(text, 6, 4);
    if (!month || !day || !year || *year == 0)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

QByteArray moduleTimeText(const QDateTime& moment)
{
    return moment.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
}

QByteArray moduleDateText(const QDateTime& moment)
{
    return moment.date().toString(QStringLiteral("MM/dd/yyyy")).toLatin1();
}

} // namespace korvane::module
