// Base classes of the widget library's controls. A control paints into its canvas (an image of
// its size) and reaches the screen in one copy; property setters end in UpdateControlCanvas,
// which repaints at once unless the control is loading or inside BeginUpdate/EndUpdate.
#pragma once

#include "widgets/VrControlsComponent.h"
#include "widgets/VrControlsCursor.h"
#include "widgets/VrControlsTypes.h"
#include "widgets/VrsysutilsCanvas.h"
#include "widgets/VrsysutilsTypes.h"

#include <QImage>
#include <QWidget>

// What graphic and custom controls share: version, update counter, component state, colour,
// caption, font colour and the four hook events.
class TVrControlBase : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Version READ Version STORED false)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor FontColor READ FontColor WRITE SetFontColor)

public:
    explicit TVrControlBase(QWidget* AOwner = nullptr);

    QString Version() const { return FVersion; }

    // The control is shown in a form designer: transparency then never turns opaque.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool Value) { FDesigning = Value; }
    // The control is being built from stored properties: nothing repaints meanwhile.
    bool Loading() const { return FLoading; }
    void BeginLoading() { FLoading = true; }
    void EndLoading() { FLoading = false; }

    void BeginUpdate();
    // No floor at 0: an unbalanced EndUpdate stops repaints until the counter is back at 0.
    void EndUpdate();
    std::int32_t UpdateCount() const { return FUpdateCount; }
    // Repaints at once unless loading or inside an update bracket.
    virtual void UpdateControlCanvas();

    // With ParentColor the parent's colour (the parent's background when it is no control
    // of this library).
    TColor Color() const;
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    // The widget's font with the font colour, as a canvas takes it.
    TVrFont ControlFont() const;
    TRect ClientRect() const { return {0, 0, width(), height()}; }
    TRect BoundsRect() const { return TRect::FromQRect(geometry()); }

    // The control's own canvas: it draws on the paint request's image during Paint and on
    // nothing otherwise.
    TVrCanvas& Canvas() { return FCanvas; }
    void ClearClientCanvas();

    // A control wants the room its contents need (minimumSizeHint, which each control answers).
    QSize sizeHint() const override { return minimumSizeHint(); }

    // The paint request: attaches the canvas to DeviceContext, calls Paint and detaches it again,
    // also when Paint fails. A request without a device context is ignored.
    virtual void WMPaint(QImage* DeviceContext);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnFontChanged;
    TNotifyEvent OnTextChanged;

protected:
    virtual void Paint() {}
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void FontChanged();
    virtual void TextChanged();

    // Qt paints the parent's background under a control that is not opaque
    // (Qt::WA_OpaquePaintEvent); the canvas starts with those pixels, and what the control
    // draws over them reaches the screen in one copy.
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Notify(const TNotifyEvent& Event) { if (Event) Event(this); }
    // Fills the screen image with what Qt composes beneath the control: the ancestors from the
    // nearest one that paints its whole background, each followed by its children stacked
    // below the control; see-through controls among them are left out.
    void CaptureBackground();

    QString FVersion;
    std::int32_t FUpdateCount = 0;
    bool FDesigning = false;
    bool FLoading = false;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    QString FCaption;
    TColor FFontColor = clWindowText;
    QImage FScreen;
    TVrCanvas FCanvas;
};

// A control painted by its parent's rules, with bounds re-evaluation.
class TVrGraphicControl : public TVrControlBase
{
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TAlign Align READ Align WRITE SetAlign)

public:
    explicit TVrGraphicControl(QWidget* AOwner = nullptr) : TVrControlBase(AOwner) {}

    // Re-applies the bounds (size constraints, automatic size); repaints only when they stay.
    virtual void AdjustControlSize();
    // AdjustControlSize for an automatically sized control, otherwise UpdateControlCanvas.
    virtual void UpdateControlBounds();
    // The dotted outline of the control, drawn only in the designer.
    void ShowDesignFrame(TVrCanvas& ACanvas) const;

    // Where the control's bounds are applied; descendants that size themselves adjust them here.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value) { FAlign = Value; }

signals:
    // The toolkit's mouse events as signals. A double click counts as a second press unless the
    // control takes double clicks (SetDoubleClicks), which then also emits DblClick.
    void Click(QObject* Sender);
    void DblClick(QObject* Sender);
    void MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPoint At);
    void MouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, QPoint At);
    void MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPoint At);
    void ContextPopup(QObject* Sender, QPoint At);

protected:
    void SetDoubleClicks(bool Value) { FDoubleClicks = Value; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ReapplyBounds(bool SkipWhileLoading);

    bool FDoubleClicks = false;
    bool FClickPending = false;

    bool FAutoSize = false;
    TAlign FAlign = alNone;
};

// A graphic control that composes its image in a drawing buffer, optionally over a cached copy
// of what its parent paints beneath it.
class TVrGraphicImageControl : public TVrGraphicControl
{
    Q_OBJECT

public:
    explicit TVrGraphicImageControl(QWidget* AOwner = nullptr);

    TVrCanvas& GetBitmapCanvas() { return FBitmapCanvas; }
    const QImage& Bitmap() const { return FBitmap; }
    const QImage& ParentImage() const { return FParentImage; }
    // The next paint captures the parent's pixels anew.
    bool ParentCopy() const { return FParentCopy; }

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    void UpdateControlCanvas() override;
    void WMPaint(QImage* DeviceContext) override;

protected:
    virtual void ClearBitmapCanvas();
    void CopyParentImage();
    void CopyOverlayImage();
    // Copies the buffer to the canvas; descendants call it last in their own Paint.
    void Paint() override;

private:
    QImage FParentImage;
    QImage FBitmap;
    TVrCanvas FBitmapCanvas;
    bool FParentCopy = true;
    bool FTransparent = false;
};

// A windowed control: it can take the focus.
class TVrCustomControl : public TVrControlBase
{
    Q_OBJECT

public:
    explicit TVrCustomControl(QWidget* AOwner = nullptr) : TVrControlBase(AOwner) {}
};

class TVrCustomImageControl : public TVrCustomControl
{
    Q_OBJECT

public:
    explicit TVrCustomImageControl(QWidget* AOwner = nullptr);

    TVrCanvas& GetBitmapCanvas() { return FBitmapCanvas; }
    const QImage& Bitmap() const { return FBitmap; }

protected:
    // Sizes the buffer to the control and fills it with Color.
    virtual void ClearBitmapCanvas();
    void Paint() override;

private:
    QImage FBitmap;
    TVrCanvas FBitmapCanvas;
};
