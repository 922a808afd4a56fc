#include "widgets/VrClassesValues.h"

void TVrMinMax::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrMinMax>(Source, [this](const TVrMinMax& s) {
        SetMinValue(s.MinValue());
        SetMaxValue(s.MaxValue());
        SetPosition(s.Position());
    });
}

void TVrMinMax::SetMinValue(std::int32_t v)
{
    if (v == FMinValue || v >= FMaxValue)
        return;
    FMinValue = v;
    if (FPosition < v)
        SetPosition(v);
    else
        Changed();
}

void TVrMinMax::SetMaxValue(std::int32_t v)
{
    if (v == FMaxValue || v <= FMinValue)
        return;
    FMaxValue = v;
    if (FPosition > v)
        SetPosition(v);
    else
        Changed();
}

void TVrMinMax::SetPosition(std::int32_t v)
{
    if (v < FMinValue)
        v = FMinValue;
    if (v > FMaxValue)
        v = FMaxValue;
    SetField(FPosition, v);
}

void TVrRect::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrRect>(Source, [this](const TVrRect& s) {
        SetLeft(s.Left());
        SetTop(s.Top());
        SetWidth(s.Width());
        SetHeight(s.Height());
    });
}

void TVrRect::SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Changed();
}
