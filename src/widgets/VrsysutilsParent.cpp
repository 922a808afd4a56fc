// CopyParentImage: what lies under a control, for controls that draw over their parent.
#include "widgets/Vrsysutils.h"

#include <QPainter>
#include <QWidget>

namespace {

constexpr char paintingCopyProperty[] = "VrPaintingCopy";

// Marks a widget as painting a copy for as long as it lives; marks nest.
class PaintingCopyMark {
public:
    explicit PaintingCopyMark(QWidget* widget) : widget(widget) { Add(1); }
    ~PaintingCopyMark() { Add(-1); }
    PaintingCopyMark(const PaintingCopyMark&) = delete;
    PaintingCopyMark& operator=(const PaintingCopyMark&) = delete;

private:
    void Add(int delta)
    {
        const int depth = widget->property(paintingCopyProperty).toInt() + delta;
        widget->setProperty(paintingCopyProperty, depth > 0 ? QVariant(depth) : QVariant());
    }

    QWidget* widget;
};

void Render(TVrCanvas& canvas, QWidget* widget, QWidget::RenderFlags flags)
{
    canvas.WithPainter([&](QPainter& painter) { widget->render(&painter, QPoint(), QRegion(widget->rect()), flags); });
}

} // namespace

bool IsPaintingCopy(const QWidget* widget)
{
    return widget && widget->property(paintingCopyProperty).toInt() > 0;
}

void CopyParentImage(QWidget* control, TVrCanvas& canvas)
{
    QWidget* parent = control ? control->parentWidget() : nullptr;
    if (!parent)
        return;
    const PaintingCopyMark parentMark(parent);
    const TRect bounds = TRect::FromQRect(control->geometry());

    {
        const TVrCanvasStateGuard state(canvas);
        canvas.MoveOrigin(-bounds.left, -bounds.top);
        canvas.ClipTo(TRect::FromQRect(parent->rect()));
        Render(canvas, parent, QWidget::DrawWindowBackground);
    }

    // Siblings stacked below the control, bottom first.
    for (QObject* object : parent->children()) {
        if (object == control)
            break;
        auto* sibling = qobject_cast<QWidget*>(object);
        if (!sibling || sibling->isWindow() || !sibling->isVisibleTo(parent))
            continue;
        const TRect siblingBounds = TRect::FromQRect(sibling->geometry());
        TRect overlap = siblingBounds.Intersected(bounds);
        if (overlap.IsEmpty())
            continue;
        const PaintingCopyMark siblingMark(sibling);
        const TVrCanvasStateGuard state(canvas);
        canvas.MoveOrigin(siblingBounds.left - bounds.left, siblingBounds.top - bounds.top);
        overlap.Offset(-siblingBounds.left, -siblingBounds.top);
        canvas.ClipTo(overlap);
        Render(canvas, sibling, QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
}
