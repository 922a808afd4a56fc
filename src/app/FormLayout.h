// Small helpers for placing controls at the pixel positions of the window's design.
#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// A label to the left of control, right-aligned against it and vertically centred on it.
QLabel* PlaceLabelLeft(QWidget* control, const QString& text);

// The Windows dialog font of the design ("MS Sans Serif", 8 pt = 11 pixels); Qt substitutes the
// nearest installed font.
void UseDesignFont(QWidget* window);

// Sets the background an edit shows while disabled; its text is then the system's grey text.
void SetDisabledColours(QLineEdit* edit, const QColor& colour);
