// A value range with a position inside it, and a rectangle given by position and size.
#pragma once

#include "widgets/VrClassesPersistent.h"
#include "widgets/VrsysutilsTypes.h"

class TVrMinMax : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(std::int32_t MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(std::int32_t MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(std::int32_t Position READ Position WRITE SetPosition)

public:
    explicit TVrMinMax(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    std::int32_t MinValue() const { return FMinValue; }
    std::int32_t MaxValue() const { return FMaxValue; }
    std::int32_t Position() const { return FPosition; }

    // Refused when not below MaxValue; drags Position up to the new minimum.
    void SetMinValue(std::int32_t v);
    // Refused when not above MinValue; drags Position down to the new maximum.
    void SetMaxValue(std::int32_t v);
    // Clamped into MinValue .. MaxValue.
    void SetPosition(std::int32_t v);

private:
    std::int32_t FMinValue = 0;
    std::int32_t FMaxValue = 100;
    std::int32_t FPosition = 0;
};

class TVrRect : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(std::int32_t Left READ Left WRITE SetLeft RESET ResetLeft)
    Q_PROPERTY(std::int32_t Top READ Top WRITE SetTop RESET ResetTop)
    Q_PROPERTY(std::int32_t Width READ Width WRITE SetWidth RESET ResetWidth)
    Q_PROPERTY(std::int32_t Height READ Height WRITE SetHeight RESET ResetHeight)

public:
    explicit TVrRect(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    // Stores all four and notifies once when any of them differs.
    void SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }

    std::int32_t Left() const { return FLeft; }
    std::int32_t Top() const { return FTop; }
    std::int32_t Width() const { return FWidth; }
    std::int32_t Height() const { return FHeight; }
    void SetLeft(std::int32_t v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(std::int32_t v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(std::int32_t v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(std::int32_t v) { SetBounds(FLeft, FTop, FWidth, v); }

private:
    // Properties with a stream default reset to it; the others are always stored.
    void ResetLeft() { SetLeft(0); }
    void ResetTop() { SetTop(0); }
    void ResetWidth() { SetWidth(0); }
    void ResetHeight() { SetHeight(0); }

    std::int32_t FLeft = 0;
    std::int32_t FTop = 0;
    std::int32_t FWidth = 0;
    std::int32_t FHeight = 0;
};
