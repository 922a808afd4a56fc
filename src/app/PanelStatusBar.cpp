#include "app/PanelStatusBar.h"

#include <QLabel>

PanelStatusBar::PanelStatusBar(int firstPanelWidth, QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (QLabel*& panel : panels_) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
    }
    panels_[0]->setFixedWidth(firstPanelWidth);
    addWidget(panels_[0]);
    addWidget(panels_[1], 1);
    addPermanentWidget(panels_[2]);
    panels_[2]->hide();
}

QString PanelStatusBar::panelText(int panel) const
{
    return panels_.at(panel)->text();
}

void PanelStatusBar::setPanelText(int panel, const QString& text)
{
    panels_.at(panel)->setText(text);
    if (panel == 2)
        panels_[2]->setVisible(!text.isEmpty());
}
