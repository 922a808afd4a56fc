// The gallery window: rows of LEDs, user LEDs and check LEDs in each of their states.
#pragma once

#include <QWidget>

class QGridLayout;

class LedGallery : public QWidget
{
public:
    explicit LedGallery(QWidget* parent = nullptr);
    // Moves the mouse, as far as the check LED knows, onto the "Hovered" square.
    void ShowHover();

private:
    void AddLeds(QGridLayout* grid);
    void AddLayouts(QGridLayout* grid);
    void AddUserLeds(QGridLayout* grid);
    void AddCheckLeds(QGridLayout* grid);
    // Size hints, spacing, a vertical stack, accelerators, and the 2x drawing.
    void AddInLayouts(QGridLayout* grid);

    class TVrCheckLed* hovered = nullptr;
};
