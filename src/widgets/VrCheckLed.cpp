#include "widgets/VrCheckLed.h"

#include "widgets/VrAccessible.h"
#include "widgets/Vrsysutils.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

TVrCheckLed::TVrCheckLed(QWidget* AOwner) : TVrCustomImageControl(AOwner), FPalette(new TVrPalette(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setMouseTracking(true); // the hover dither follows the mouse without a button held
    setGeometry(0, 0, 125, 25);
    SetColor(clBtnFace);
    SetTabStop(false);
    FPalette->OnChange = [this](QObject*) { UpdateControlCanvas(); };
    CalcPaintParams(false);
    InstallVrAccessibility();
}

template <typename T>
void TVrCheckLed::SetLayoutValue(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    CalcPaintParams(true);
}

void TVrCheckLed::SetCheckWidth(std::uint8_t Value)
{
    SetLayoutValue(FCheckWidth, Value);
}

void TVrCheckLed::SetCheckHeight(std::uint8_t Value)
{
    SetLayoutValue(FCheckHeight, Value);
}

void TVrCheckLed::SetLayout(TVrImageTextLayout Value)
{
    SetLayoutValue(FLayout, Value);
}

void TVrCheckLed::SetMargin(std::int32_t Value)
{
    SetLayoutValue(FMargin, Value);
}

void TVrCheckLed::SetSpacing(std::int32_t Value)
{
    SetLayoutValue(FSpacing, Value);
}

void TVrCheckLed::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    UpdateControlCanvas();
    if (FCheckStyle == csRadioButton && Value && parentWidget()) {
        for (QObject* object : parentWidget()->children()) {
            auto* sibling = qobject_cast<TVrCheckLed*>(object);
            if (sibling && sibling != this && sibling->FCheckStyle == csRadioButton)
                sibling->SetChecked(false);
        }
    }
    NotifyVrStateChange(this);
    Change();
}

QSize TVrCheckLed::minimumSizeHint() const
{
    // The square and the caption sit one pixel down and right of the layout's place.
    return ImageTextExtent(font(), Caption(), cfImageTextLayout[FLayout], FMargin, FSpacing,
                           QSize(FCheckWidth, FCheckHeight)) + QSize(1, 1);
}

void TVrCheckLed::Change()
{
    if (OnChange)
        OnChange(this);
}

void TVrCheckLed::CalcPaintParams(bool Repaint)
{
    Canvas().Font = ControlFont();
    TPoint position;
    CalcImageTextLayout(Canvas(), ClientRect(), {1, 1}, Caption(), cfImageTextLayout[FLayout], FMargin, FSpacing,
                        {FCheckWidth, FCheckHeight}, position, FTextRect);
    FCheckRect = Bounds(position.x, position.y, FCheckWidth, FCheckHeight);
    if (Repaint)
        UpdateControlCanvas();
}

void TVrCheckLed::DrawGlyph(int State, TRect Rect, TVrCanvas& ACanvas) const
{
    if (State == 2)
        DrawFrame3D(ACanvas, Rect, clBlack, clBtnHighlight, 1);
    else
        DrawFrame3D(ACanvas, Rect, clBtnHighlight, clBlack, 1);
    DrawFrame3D(ACanvas, Rect, clBtnHighlight, clBtnShadow, 1);
    DrawFrame3D(ACanvas, Rect, clBtnFace, clBtnFace, 1);
    DrawFrame3D(ACanvas, Rect, clBlack, clBtnHighlight, 1);

    ACanvas.Brush.Style = TVrBrushStyle::Solid;
    if (State == 1) {
        std::unique_ptr<QImage> dither = CreateDitherPattern(FPalette->Low(), FPalette->High());
        ACanvas.Brush.Bitmap = *dither;
        ACanvas.FillRect(Rect);
        ACanvas.Brush.Bitmap = QImage(); // the brush lets go before the pattern is freed
        FreeObject(dither);
    } else {
        ACanvas.Brush.Color = State == 2 ? FPalette->High() : FPalette->Low();
        ACanvas.FillRect(Rect);
    }
}

void TVrCheckLed::ShowFocus()
{
    if (!hasFocus())
        return;
    TRect r = FTextRect;
    r.Inflate(2, 2);
    TVrCanvas& canvas = Canvas();
    canvas.Pen.Style = TVrPenStyle::Dot;
    canvas.Pen.Color = FontColor();
    canvas.Pen.Width = 1;
    canvas.Brush.Style = TVrBrushStyle::Clear;
    canvas.Rectangle(r.left, r.top, r.right, r.bottom);
}

void TVrCheckLed::Paint()
{
    ClearBitmapCanvas();
    const int state = FHot && !FChecked ? 1 : FChecked ? 2 : 0;
    TVrCanvas& buffer = GetBitmapCanvas();
    DrawGlyph(state, FCheckRect, buffer);
    buffer.Font = ControlFont();
    buffer.Brush.Style = TVrBrushStyle::Solid;
    buffer.Brush.Color = Color();
    DrawButtonText(buffer, Caption(), FTextRect, isEnabled());
    TVrCustomImageControl::Paint();
    ShowFocus();
}

void TVrCheckLed::mousePressEvent(QMouseEvent* event)
{
    TVrCustomImageControl::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        FClickPending = true;
        if (isEnabled() && InCheckRect(at)) {
            // Shows the new state; the release decides whether it holds.
            FPressed = true;
            FSavedState = FChecked;
            FChecked = !FChecked;
            UpdateControlCanvas();
        }
    }
    if (TabStop())
        setFocus(Qt::MouseFocusReason);
}

void TVrCheckLed::mouseMoveEvent(QMouseEvent* event)
{
    TVrCustomImageControl::mouseMoveEvent(event);
    const bool hot = InCheckRect(event->position().toPoint());
    if (hot == FHot)
        return;
    FHot = hot;
    UpdateControlCanvas();
}

void TVrCheckLed::mouseReleaseEvent(QMouseEvent* event)
{
    TVrCustomImageControl::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    if (FPressed) {
        FChecked = FSavedState;
        if (InCheckRect(at))
            SetChecked(!FSavedState);
        else
            UpdateControlCanvas();
    }
    FPressed = false;
    if (event->button() == Qt::LeftButton && FClickPending) {
        FClickPending = false;
        if (rect().contains(at) && OnClick)
            OnClick(this);
    }
}

void TVrCheckLed::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        SetChecked(!FChecked);
        return; // taken: the parent (a dialog's default button, say) must not act on it too
    }
    TVrCustomImageControl::keyPressEvent(event);
}

void TVrCheckLed::MouseLeave()
{
    TVrCustomImageControl::MouseLeave();
    FHot = false;
    UpdateControlCanvas();
}

void TVrCheckLed::FontChanged()
{
    TVrCustomImageControl::FontChanged();
    CalcPaintParams(true);
}

void TVrCheckLed::TextChanged()
{
    TVrCustomImageControl::TextChanged();
    GrabAccelerator();
    CalcPaintParams(true);
}

void TVrCheckLed::GrabAccelerator()
{
    if (FAccelerator != 0)
        releaseShortcut(FAccelerator);
    const QKeySequence mnemonic = QKeySequence::mnemonic(Caption());
    FAccelerator = mnemonic.isEmpty() ? 0 : grabShortcut(mnemonic);
}

bool TVrCheckLed::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == FAccelerator && FAccelerator != 0) {
        if (!isEnabled() || !isVisible())
            return false;
        if (TabStop())
            setFocus(Qt::ShortcutFocusReason);
        SetChecked(!FChecked);
        return true;
    }
    return TVrCustomImageControl::event(event);
}

void TVrCheckLed::resizeEvent(QResizeEvent* event)
{
    TVrCustomImageControl::resizeEvent(event);
    CalcPaintParams(true);
}

void TVrCheckLed::focusInEvent(QFocusEvent* event)
{
    TVrCustomImageControl::focusInEvent(event);
    UpdateControlCanvas(); // the repaint draws the focus mark
}

void TVrCheckLed::focusOutEvent(QFocusEvent* event)
{
    UpdateControlCanvas(); // the repaint removes the focus mark
    TVrCustomImageControl::focusOutEvent(event);
}

void TVrCheckLed::changeEvent(QEvent* event)
{
    TVrCustomImageControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateControlCanvas();
}
