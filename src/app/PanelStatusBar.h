// A status bar of text panels: panel 0 of a fixed width, panel 1 taking the rest, and panel 2 at
// the right end, as wide as its text and shown only while it has one.
#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

class PanelStatusBar : public QStatusBar {
    Q_OBJECT

public:
    PanelStatusBar(int firstPanelWidth, QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    QLabel* Panel(int panel) const { return panels_.at(panel); }

private:
    std::array<QLabel*, 3> panels_;
};
