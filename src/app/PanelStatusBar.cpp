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
    // The operation panel takes what the others leave, so a long text never pushes the clock's
    // panel out of the window.
    panels_[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
    QLabel* label = panels_.at(panel);
    label->setText(text);
    // The fixed first panel widens for a text its designed width cannot hold.
    if (panel == 0 && label->sizeHint().width() > label->width())
        label->setFixedWidth(label->sizeHint().width());
    if (panel == 2)
        label->setVisible(!text.isEmpty());
}
