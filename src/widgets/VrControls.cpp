#include "widgets/VrControls.h"

#include "widgets/Vrsysutils.h"

#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <vector>

namespace {

// Above 0 while a control renders what lies beneath it.
int captureDepth = 0;

// The ancestors whose painting shows beneath Widget, from the nearest one that paints all of
// its own background down to Widget's parent; Qt composes them in this order.
std::vector<QWidget*> PaintedAncestors(const QWidget* widget)
{
    std::vector<QWidget*> chain;
    for (QWidget* ancestor = widget->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        chain.insert(chain.begin(), ancestor);
        if (ancestor->isWindow() || ancestor->autoFillBackground() || ancestor->testAttribute(Qt::WA_OpaquePaintEvent))
            break;
    }
    return chain;
}

} // namespace

TVrControlBase::TVrControlBase(QWidget* AOwner) : QWidget(AOwner), FVersion(VrLibraryVersion) {}

void TVrControlBase::BeginUpdate()
{
    ++FUpdateCount;
}

void TVrControlBase::EndUpdate()
{
    --FUpdateCount;
    UpdateControlCanvas();
}

void TVrControlBase::UpdateControlCanvas()
{
    if (!Loading() && FUpdateCount == 0)
        repaint();
}

TColor TVrControlBase::Color() const
{
    const QWidget* parent = parentWidget();
    if (!FParentColor || !parent)
        return FColor;
    if (const auto* control = qobject_cast<const TVrControlBase*>(parent))
        return control->Color();
    return RgbToColor(parent->palette().color(parent->backgroundRole()).rgb());
}

void TVrControlBase::SetColor(TColor Value)
{
    if (Value == FColor && !FParentColor)
        return;
    FColor = Value;
    FParentColor = false;
    update();
}

void TVrControlBase::SetParentColor(bool Value)
{
    if (Value == FParentColor)
        return;
    FParentColor = Value;
    update();
}

void TVrControlBase::SetCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    TextChanged();
}

void TVrControlBase::SetFontColor(TColor Value)
{
    if (Value == FFontColor)
        return;
    FFontColor = Value;
    FontChanged();
}

TVrFont TVrControlBase::ControlFont() const
{
    TVrFont result;
    result.Description = font();
    result.Color = FFontColor;
    return result;
}

void TVrControlBase::ClearClientCanvas()
{
    FCanvas.Brush.Style = TVrBrushStyle::Solid;
    FCanvas.Brush.Color = Color();
    FCanvas.FillRect(ClientRect());
}

void TVrControlBase::WMPaint(QImage* DeviceContext)
{
    if (!DeviceContext)
        return;
    FCanvas.SetTarget(DeviceContext);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetTarget(nullptr);
        throw;
    }
    FCanvas.SetTarget(nullptr);
}

void TVrControlBase::MouseEnter()
{
    Notify(OnMouseEnter);
}

void TVrControlBase::MouseLeave()
{
    Notify(OnMouseLeave);
}

void TVrControlBase::FontChanged()
{
    Notify(OnFontChanged);
}

void TVrControlBase::TextChanged()
{
    Notify(OnTextChanged);
}

void TVrControlBase::CaptureBackground()
{
    const std::vector<QWidget*> chain = PaintedAncestors(this);
    if (chain.empty())
        return;
    QPainter painter(&FScreen);
    ++captureDepth;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        QWidget* level = chain[i];
        const QWidget* next = i + 1 < chain.size() ? chain[i + 1] : this;
        const QRect area(mapTo(level, QPoint(0, 0)), size()); // in level's coordinates
        level->render(&painter, QPoint(), QRegion(area),
                      i == 0 ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
        // Then the children of this level stacked below the path, where they overlap.
        for (QObject* object : level->children()) {
            if (object == next)
                break;
            auto* sibling = qobject_cast<QWidget*>(object);
            if (!sibling || sibling->isWindow() || sibling->isHidden())
                continue;
            const QRect overlap = sibling->geometry() & area;
            if (!overlap.isEmpty())
                sibling->render(&painter, overlap.topLeft() - area.topLeft(),
                                QRegion(overlap.translated(-sibling->pos())), QWidget::DrawChildren);
        }
    }
    --captureDepth;
}

void TVrControlBase::paintEvent(QPaintEvent*)
{
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    // Rendered as part of what lies beneath a control (this one included): see-through.
    if (captureDepth > 0 && !opaque)
        return;
    // At the screen's pixel density, so captions, shapes and the copied background stay sharp.
    SizeImage(FScreen, size(), devicePixelRatioF());
    if (!opaque)
        CaptureBackground();
    WMPaint(&FScreen);
    QPainter(this).drawImage(0, 0, FScreen);
}

void TVrControlBase::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    MouseEnter();
}

void TVrControlBase::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    MouseLeave();
}

void TVrControlBase::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FontChanged();
}

void TVrGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    setGeometry(ALeft, ATop, AWidth, AHeight);
}

void TVrGraphicControl::ReapplyBounds(bool SkipWhileLoading)
{
    const TRect before = BoundsRect();
    if (Loading()) {
        if (SkipWhileLoading)
            return;
    } else {
        SetBounds(x(), y(), width(), height());
    }
    // Changed bounds repaint through the resize; unchanged ones need their own repaint.
    if (CompareRect(before, BoundsRect()))
        UpdateControlCanvas();
}

void TVrGraphicControl::AdjustControlSize()
{
    ReapplyBounds(true);
}

void TVrGraphicControl::UpdateControlBounds()
{
    if (FAutoSize && FAlign != alClient)
        ReapplyBounds(false);
    else
        UpdateControlCanvas();
}

void TVrGraphicControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FClickPending = true;
    emit MouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TVrGraphicControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!FDoubleClicks) {
        mousePressEvent(event);
        return;
    }
    emit MouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        emit DblClick(this);
}

void TVrGraphicControl::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(this, event->modifiers(), event->position().toPoint());
}

void TVrGraphicControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit MouseUp(this, event->button(), event->modifiers(), at);
    if (event->button() == Qt::LeftButton && FClickPending) {
        FClickPending = false;
        if (rect().contains(at))
            emit Click(this);
    }
}

void TVrGraphicControl::contextMenuEvent(QContextMenuEvent* event)
{
    emit ContextPopup(this, event->pos());
    event->ignore(); // the parent may still show its menu
}

void TVrGraphicControl::ShowDesignFrame(TVrCanvas& ACanvas) const
{
    if (!Designing())
        return;
    ACanvas.Pen.Style = TVrPenStyle::Dot;
    ACanvas.Pen.Color = clBlack;
    ACanvas.Pen.Width = 1;
    ACanvas.Brush.Style = TVrBrushStyle::Clear;
    ACanvas.Rectangle(0, 0, width(), height());
}

TVrGraphicImageControl::TVrGraphicImageControl(QWidget* AOwner)
    : TVrGraphicControl(AOwner), FBitmapCanvas(&FBitmap)
{
}

void TVrGraphicImageControl::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    setAttribute(Qt::WA_OpaquePaintEvent, !Value);
    if (Designing())
        update();
    else
        UpdateControlCanvas();
}

void TVrGraphicImageControl::UpdateControlCanvas()
{
    // A property change redraws over the cached background: the parent need not repaint
    // beneath, so nothing flickers.
    if (!Designing() && FTransparent && !FParentImage.isNull()) {
        FParentCopy = false;
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
    TVrGraphicControl::UpdateControlCanvas();
}

void TVrGraphicImageControl::WMPaint(QImage* DeviceContext)
{
    if (!DeviceContext)
        return;
    SizeImage(FBitmap, size(), DeviceContext->devicePixelRatio());
    TVrGraphicControl::WMPaint(DeviceContext);
}

void TVrGraphicImageControl::ClearBitmapCanvas()
{
    FBitmapCanvas.Brush.Style = TVrBrushStyle::Solid;
    if (!FTransparent) {
        FBitmapCanvas.Brush.Color = Color();
        FBitmapCanvas.FillRect(BitmapRect(FBitmap));
        return;
    }
    if (FParentCopy)
        CopyParentImage();
    CopyOverlayImage();
}

void TVrGraphicImageControl::CopyParentImage()
{
    const QImage* screen = Canvas().Target();
    if (!screen)
        return;
    SizeImage(FParentImage, size(), screen->devicePixelRatio());
    const TRect clip = Canvas().ClipRect();
    TVrCanvas(&FParentImage).CopyRect(clip, *screen, clip);
}

void TVrGraphicImageControl::CopyOverlayImage()
{
    const TRect area = BitmapRect(FBitmap);
    FBitmapCanvas.CopyRect(area, FParentImage, area);
}

void TVrGraphicImageControl::Paint()
{
    const TRect area = ClientRect();
    Canvas().CopyRect(area, FBitmap, area);
    if (FTransparent) {
        FParentCopy = true;
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }
}

TVrCustomImageControl::TVrCustomImageControl(QWidget* AOwner) : TVrCustomControl(AOwner), FBitmapCanvas(&FBitmap) {}

void TVrCustomImageControl::ClearBitmapCanvas()
{
    SizeImage(FBitmap, size(), Canvas().Target() ? Canvas().Scale() : devicePixelRatioF());
    FBitmapCanvas.Brush.Style = TVrBrushStyle::Solid;
    FBitmapCanvas.Brush.Color = Color();
    FBitmapCanvas.FillRect(BitmapRect(FBitmap));
}

void TVrCustomImageControl::Paint()
{
    const TRect area = ClientRect();
    Canvas().CopyRect(area, FBitmap, area);
}
