// A check box whose mark is a small LED square: sunken and lit in High when checked, raised and
// dark in Low when not, dithered while the mouse hovers over an unchecked square. In radio
// style, checking one unchecks its radio-style siblings.
#pragma once

#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"

enum TVrCheckLedStyle : std::uint8_t { csRadioButton, csCheckbox };
using TVrCheckInt = TVrRange<std::uint8_t, 10, 40>;

class TVrCheckLed : public TVrCustomImageControl
{
    Q_OBJECT
    Q_PROPERTY(std::uint8_t CheckWidth READ CheckWidth WRITE SetCheckWidth RESET ResetCheckWidth)
    Q_PROPERTY(std::uint8_t CheckHeight READ CheckHeight WRITE SetCheckHeight RESET ResetCheckHeight)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked RESET ResetChecked)
    Q_PROPERTY(TVrImageTextLayout Layout READ Layout WRITE SetLayout RESET ResetLayout)
    Q_PROPERTY(std::int32_t Margin READ Margin WRITE SetMargin RESET ResetMargin)
    Q_PROPERTY(std::int32_t Spacing READ Spacing WRITE SetSpacing RESET ResetSpacing)
    Q_PROPERTY(TVrPalette* Palette READ Palette WRITE SetPalette)
    Q_PROPERTY(TVrCheckLedStyle CheckStyle READ CheckStyle WRITE SetCheckStyle RESET ResetCheckStyle)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop RESET ResetTabStop)

public:
    explicit TVrCheckLed(QWidget* AOwner = nullptr);

    // The one way a state change is committed and announced.
    void SetChecked(bool Value);
    bool Checked() const { return FChecked; }

    std::uint8_t CheckWidth() const { return FCheckWidth; }
    void SetCheckWidth(std::uint8_t Value);
    std::uint8_t CheckHeight() const { return FCheckHeight; }
    void SetCheckHeight(std::uint8_t Value);
    TVrImageTextLayout Layout() const { return FLayout; }
    void SetLayout(TVrImageTextLayout Value);
    std::int32_t Margin() const { return FMargin; }
    void SetMargin(std::int32_t Value);
    std::int32_t Spacing() const { return FSpacing; }
    void SetSpacing(std::int32_t Value);
    TVrPalette* Palette() const { return FPalette; }
    void SetPalette(TVrPalette* Value) { FPalette->Assign(Value); }
    // A plain store: takes effect at the next SetChecked.
    TVrCheckLedStyle CheckStyle() const { return FCheckStyle; }
    void SetCheckStyle(TVrCheckLedStyle Value) { FCheckStyle = Value; }
    // Whether a click or the accelerator moves the focus here.
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool Value) { setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus); }

    // Room for the square and the caption, as Layout, Margin and Spacing place them.
    QSize minimumSizeHint() const override;

    TRect CheckRect() const { return FCheckRect; }
    TRect TextRect() const { return FTextRect; }

    TNotifyEvent OnChange;
    // A press and release of the left button inside the control, on the square or not.
    TNotifyEvent OnClick;

protected:
    virtual void Change();
    void CalcPaintParams(bool Repaint);
    // State 0 unchecked, 1 hovered while unchecked (dither), 2 checked.
    void DrawGlyph(int State, TRect Rect, TVrCanvas& ACanvas) const;
    void ShowFocus();
    void Paint() override;

    void MouseLeave() override;
    void FontChanged() override;
    void TextChanged() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ResetCheckWidth() { SetCheckWidth(20); }
    void ResetCheckHeight() { SetCheckHeight(13); }
    void ResetChecked() { SetChecked(false); }
    void ResetLayout() { SetLayout(ImageLeft); }
    void ResetMargin() { SetMargin(-1); }
    void ResetSpacing() { SetSpacing(5); }
    void ResetCheckStyle() { SetCheckStyle(csCheckbox); }
    void ResetTabStop() { SetTabStop(false); }

    template <typename T>
    void SetLayoutValue(T& field, T value);
    bool InCheckRect(const QPoint& point) const { return FCheckRect.Contains(point.x(), point.y()); }
    void GrabAccelerator();

    std::uint8_t FCheckWidth = 20;
    std::uint8_t FCheckHeight = 13;
    bool FChecked = false;
    TVrImageTextLayout FLayout = ImageLeft;
    std::int32_t FMargin = -1;
    std::int32_t FSpacing = 5;
    TVrPalette* FPalette;
    TVrCheckLedStyle FCheckStyle = csCheckbox;
    TRect FCheckRect;
    TRect FTextRect;
    bool FPressed = false;
    bool FSavedState = false;
    bool FHot = false;
    bool FClickPending = false;
    int FAccelerator = 0;
};
