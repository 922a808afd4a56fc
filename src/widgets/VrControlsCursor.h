// The application-wide cursor table of the widget library. The unit registers its hand cursor
// under crVrHandPoint as soon as the table is first used.
#pragma once

#include <QCursor>

inline constexpr int crVrHandPoint = 99;

// The cursor registered under Id; an unknown Id answers the arrow.
QCursor VrScreenCursor(int Id);
void VrSetScreenCursor(int Id, const QCursor& Cursor);
