// The module's clock texts: time "hh:mm:ss" (24-hour) and date "mm/dd/yyyy", strictly in that form.
#pragma once

#include <QByteArray>
#include <QDateTime>

#include <optional>

namespace korvane::module {

std::optional<QTime> parseModuleTime(const QByteArray& text);
std::optional<QDate> parseModuleDate(const QByteArray& text);

QByteArray moduleTimeText(const QDateTime& moment);
QByteArray moduleDateText(const QDateTime& moment);

// The module clock is the PC clock plus an offset in milliseconds: a written time sets the phase
// of the module's seconds, not only their count.
inline QDateTime moduleClock(const QDateTime& pcNow, int64_t offsetMs) { return pcNow.addMSecs(offsetMs); }
inline int64_t clockOffset(const QDateTime& pcNow, const QDateTime& moduleNow) { return pcNow.msecsTo(moduleNow); }

} // namespace korvane::module
