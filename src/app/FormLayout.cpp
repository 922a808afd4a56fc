#include "app/FormLayout.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <limits>
#include <vector>

namespace {
const int LabelGap = 4;
const int OverlapGap = 4;       // between controls that a grown text pushed apart
const int EdgeGap = 2;          // between a container's left edge and its first control
const int EditTextMargin = 2;   // the space a line edit keeps beside its text
const char* const LaterTextsProperty = "korvaneLaterTexts";

// Where the control draws its text, by the style's measure; texts lists what it may show.
QRect TextRoom(QWidget* control, QStringList& texts)
{
    const QStyle* style = control->style();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        texts << label->text();
        const int indent = std::max(0, label->indent());
        return label->contentsRect().adjusted(indent, 0, -indent, 0);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        texts << button->text();
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const auto element = button->inherits("QCheckBox")      ? QStyle::SE_CheckBoxContents
                             : button->inherits("QRadioButton") ? QStyle::SE_RadioButtonContents
                                                                : QStyle::SE_PushButtonContents;
        return style->subElementRect(element, &option, button);
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        texts << combo->placeholderText();
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .adjusted(EditTextMargin, 0, -EditTextMargin, 0);
    }
    if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        texts << spin->prefix() + QString::number(spin->maximum(), spin->displayIntegerBase()).toUpper() + spin->suffix();
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.frame = true;
        option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp |
                             QStyle::SC_SpinBoxDown;
        return style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, spin)
            .adjusted(EditTextMargin, 0, -EditTextMargin, 0);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        texts << edit->text() << edit->placeholderText();
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        return style->subElementRect(QStyle::SE_LineEditContents, &option, edit)
            .marginsRemoved(edit->textMargins())
            .adjusted(EditTextMargin, 0, -EditTextMargin, 0);
    }
    return control->rect();
}

// The size the control needs for its texts; its own size when texts are not its business.
QSize NeededSize(QWidget* control)
{
    const QSize now = control->size();
    if (const auto* label = qobject_cast<QLabel*>(control); label && !label->pixmap().isNull())
        return now.expandedTo(label->sizeHint());
    if (qobject_cast<QGroupBox*>(control))
        return now.expandedTo(control->minimumSizeHint());
    QStringList texts;
    const QRect room = TextRoom(control, texts);
    texts += control->property(LaterTextsProperty).toStringList();
    if (texts.isEmpty())
        return now.expandedTo(control->minimumSizeHint());
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, control->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&'))));
    return now + QSize(std::max(0, widest - room.width()), std::max(0, control->fontMetrics().height() - room.height()));
}

// A container whose children this fit places: a group box, or a plain frame or page.
bool IsContainer(const QWidget* widget)
{
    const char* kind = widget->metaObject()->className();
    const bool plain = qstrcmp(kind, "QWidget") == 0 || qstrcmp(kind, "QFrame") == 0 || qobject_cast<const QGroupBox*>(widget);
    return plain && !widget->layout();
}

// What a label left of its control moves with: that control.
QWidget* Anchor(QWidget* child)
{
    if (auto* label = qobject_cast<QLabel*>(child); label && label->buddy() && label->buddy()->parentWidget() == child->parentWidget())
        return label->buddy();
    return child;
}

// Moves every child whose anchor starts at or beyond edge by distance, along one axis; sideways
// only the children on the rows of band (when given), so other rows keep their places.
void ShiftFrom(const std::vector<QWidget*>& children, int edge, int distance, Qt::Orientation axis,
               const QRect& band = QRect())
{
    for (QWidget* child : children) {
        const QRect anchor = Anchor(child)->geometry();
        if (band.isValid() && (anchor.bottom() < band.top() || anchor.top() > band.bottom()))
            continue;
        if ((axis == Qt::Horizontal ? anchor.x() : anchor.y()) >= edge)
            child->move(child->pos() + (axis == Qt::Horizontal ? QPoint(distance, 0) : QPoint(0, distance)));
    }
}

// Pushes apart what a grown label (whose designed size is its text's) now overlaps: down when it
// only grazes the control above, otherwise to the right.
void SeparateOverlaps(const std::vector<QWidget*>& children)
{
    for (std::size_t round = 0; round < children.size() * children.size(); ++round) {
        bool moved = false;
        for (QWidget* a : children) {
            for (QWidget* b : children) {
                const QRect ra = a->geometry(), rb = b->geometry();
                if (a >= b || a->isHidden() || b->isHidden() || Anchor(a) == b || Anchor(b) == a || ra == rb ||
                    !ra.intersects(rb))
                    continue;
                const QRect both = ra & rb;
                const QRect& upper = ra.top() <= rb.top() ? ra : rb;
                const QRect& lower = ra.top() <= rb.top() ? rb : ra;
                const QRect& left = ra.left() <= rb.left() ? ra : rb;
                const QRect& right = ra.left() <= rb.left() ? rb : ra;
                if (lower.top() > upper.top() && both.height() <= std::min(ra.height(), rb.height()) / 2)
                    ShiftFrom(children, lower.top(), upper.bottom() + 1 - lower.top(), Qt::Vertical);
                else
                    ShiftFrom(children, right.left(), left.right() + 1 + OverlapGap - right.left(), Qt::Horizontal);
                moved = true;
            }
        }
        if (!moved)
            return;
    }
}

// Where a container's children may begin: inside its left edge and, in a group box, below its title.
QPoint ContentsOrigin(QWidget* container)
{
    int top = 0;
    if (auto* box = qobject_cast<QGroupBox*>(container); box && !box->title().isEmpty()) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.lineWidth = 1;
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.textAlignment = box->alignment();
        top = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box).bottom() + 1;
    }
    return QPoint(EdgeGap, top);
}

// Moves all children right and down together where a grown label left of its control now starts
// outside the container, or a grown group-box title covers the first row.
void MoveInside(const std::vector<QWidget*>& children, QPoint origin)
{
    if (children.empty())
        return;
    QPoint first(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    for (const QWidget* child : children)
        first = QPoint(std::min(first.x(), child->x()), std::min(first.y(), child->y()));
    // Only what the font pushed out moves; a control the design put at the edge stays there.
    const QPoint shift(first.x() < 0 ? origin.x() - first.x() : 0, std::max(0, origin.y() - first.y()));
    if (shift.isNull())
        return;
    for (QWidget* child : children)
        child->move(child->pos() + shift);
}

// The controls placed on a container (not its dialogs).
std::vector<QWidget*> Children(QWidget* container)
{
    std::vector<QWidget*> children;
    for (QObject* object : container->children())
        if (auto* child = qobject_cast<QWidget*>(object); child && !child->isWindow())
            children.push_back(child);
    return children;
}

QRect Extent(const std::vector<QWidget*>& children)
{
    QRect extent;
    for (const QWidget* child : children)
        extent |= child->geometry();
    return extent;
}

} // namespace

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
    // The desktop's font size, not the design's 8 points: a large system font makes the controls
    // grow to fit their texts.
    const QFont system = QApplication::font();
    if (system.pointSizeF() > 0)
        font.setPointSizeF(system.pointSizeF());
    else
        font.setPixelSize(system.pixelSize());
    window->setFont(font);
}

namespace {
// From the application's scheme, which a field's own palette follows only after the change.
void ApplyDisabledColours(QLineEdit* edit, QPalette::ColorRole background)
{
    const QPalette scheme = QApplication::palette(edit);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, scheme.color(QPalette::Active, background));
    // The scheme's own text colour: the clock stays readable although the field takes no input.
    palette.setColor(QPalette::Disabled, QPalette::Text, scheme.color(QPalette::Active, QPalette::Text));
    edit->setPalette(palette);
}

// Takes the colours again from the new scheme when the desktop switches it (light to dark).
class FollowScheme : public QObject {
public:
    FollowScheme(QLineEdit* edit, QPalette::ColorRole background) : QObject(edit), edit_(edit), background_(background) {}

protected:
    // The new scheme reaches the field as a change of its inherited palette, after which it is
    // applied again; the field's own change below comes back here and is let through.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == edit_ && event->type() == QEvent::PaletteChange && !applying_) {
            applying_ = true;
            ApplyDisabledColours(edit_, background_);
            applying_ = false;
        }
        return false;
    }

private:
    QLineEdit* edit_;
    QPalette::ColorRole background_;
    bool applying_ = false;
};
} // namespace

void SetDisabledColours(QLineEdit* edit, QPalette::ColorRole background)
{
    ApplyDisabledColours(edit, background);
    edit->installEventFilter(new FollowScheme(edit, background));
}

void SetLaterTexts(QWidget* control, const QStringList& texts)
{
    control->setProperty(LaterTextsProperty, texts);
}

QSize FitToFont(QWidget* container)
{
    std::vector<QWidget*> children = Children(container);
    const QRect before = Extent(children);

    std::sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    for (QWidget* child : children) {
        const QSize designed = child->size();
        QSize grown = IsContainer(child) ? designed + FitToFont(child) : NeededSize(child);
        grown = grown.expandedTo(designed);
        if (grown == designed)
            continue;
        const QRect place = child->geometry();
        child->resize(grown);
        ShiftFrom(children, place.right() + 1, grown.width() - designed.width(), Qt::Horizontal, place);
        // Only a container that grew taller pushes the rows below it down.
        if (IsContainer(child))
            ShiftFrom(children, place.bottom() + 1, grown.height() - designed.height(), Qt::Vertical);
    }
    // A label keeps its place beside its control, which may have moved.
    for (QWidget* child : children)
        if (auto* label = qobject_cast<QLabel*>(child); label && Anchor(label) != label) {
            const QRect area = label->buddy()->geometry();
            label->move(area.left() - LabelGap - label->width(), area.top() + (area.height() - label->height()) / 2);
        }
    SeparateOverlaps(children);
    MoveInside(children, ContentsOrigin(container));

    const QRect after = Extent(children);
    QSize growth(std::max(0, after.right() - before.right()), std::max(0, after.bottom() - before.bottom()));
    // A group box's frame encloses its controls also where their texts outgrew it before the fit.
    if (qobject_cast<QGroupBox*>(container))
        growth = growth.expandedTo(QSize(after.right() + 1 + OverlapGap - container->width(),
                                         after.bottom() + 1 + OverlapGap - container->height()));
    return growth;
}

void FitWindowToFont(QWidget* window, QSize designedClient)
{
    const QSize grown = designedClient + FitToFont(window);
    // Also where controls had outgrown the design before the fit (texts sized in a large font).
    const QRect extent = Extent(Children(window));
    window->setFixedSize(grown.expandedTo(QSize(extent.right() + 1 + OverlapGap, extent.bottom() + 1 + OverlapGap)));
}
