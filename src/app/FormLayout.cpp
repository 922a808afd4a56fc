#include "app/FormLayout.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>

namespace {
const int LabelGap = 4;
}

QLabel* PlaceLabelLeft(QWidget* control, const QString& text)
{
    auto* label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    label->adjustSize();
    const QRect area = control->geometry();
    label->move(area.left() - LabelGap - label->width(), area.top() + (area.height() - label->height()) / 2);
    return label;
}

void UseDesignFont(QWidget* window)
{
    // Faces close to MS Sans Serif's narrow metrics come first, so the designed captions fit.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("Helvetica")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    window->setFont(font);
}

void SetDisabledColours(QLineEdit* edit, const QColor& colour)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, colour);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    edit->setPalette(palette);
}
