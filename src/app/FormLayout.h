// Helpers for placing controls at the pixel positions of the window's design, and for growing
// that layout where the actual font needs more room than the narrow font it was made for.
#pragma once

#include <QPalette>
#include <QSize>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QWidget;

// A label to the left of control, right-aligned against it and vertically centred on it.
QLabel* PlaceLabelLeft(QWidget* control, const QString& text);

// The design's face ("MS Sans Serif"; Qt substitutes the nearest installed font) at the size of
// the desktop's font.
void UseDesignFont(QWidget* window);

// The colours a disabled edit shows: the palette's background role and its ordinary text colour,
// so the text keeps the scheme's contrast.
void SetDisabledColours(QLineEdit* edit, QPalette::ColorRole background);

// Texts a control shows later besides its present one; the fit makes room for the widest.
void SetLaterTexts(QWidget* control, const QStringList& texts);

// Grows every control of container (recursively) whose text needs more room than its designed
// size leaves, moving the controls to its right (or below it) along so nothing overlaps, and
// answers how far the children now reach beyond where they reached before (never negative).
QSize FitToFont(QWidget* container);

// A fixed-size window of designed client size: fits its controls and grows it to match.
void FitWindowToFont(QWidget* window, QSize designedClient);
