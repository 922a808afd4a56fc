// Integer, rectangle, text-parameter and bitmap housekeeping helpers.
#include "widgets/Vrsysutils.h"

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Truncates toward zero; values beyond the 32-bit range saturate instead of being undefined.
int TruncToInt(long double value)
{
    if (std::isnan(value))
        return 0;
    const long double t = std::trunc(value);
    if (t >= static_cast<long double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (t <= static_cast<long double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(t);
}

} // namespace

TRect TRect::Intersected(const TRect& other) const
{
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
}

int SolveForX(int a, int b)
{
    return TruncToInt(static_cast<long double>(a) * 0.01L * b);
}

int SolveForY(int a, int b)
{
    if (b == 0)
        return 0;
    return TruncToInt(static_cast<long double>(a) * 100 / b);
}

int Percent(int a, int b)
{
    if (b == 0)
        return 0;
    return TruncToInt(static_cast<long double>(a) / b * 100);
}

int MinIntVal(int a, int b)
{
    return a <= b ? a : b;
}

int MaxIntVal(int a, int b)
{
    return a > b ? a : b;
}

bool InRange(int value, int low, int high)
{
    return low <= value && value <= high;
}

void AdjustRange(int& value, int low, int high)
{
    if (value < low)
        value = low;
    else if (value > high)
        value = high;
}

int WidthOf(const TRect& rect)
{
    return rect.Width();
}

int HeightOf(const TRect& rect)
{
    return rect.Height();
}

bool CompareRect(const TRect& a, const TRect& b)
{
    return a == b;
}

QString GetStrParam(QString& text, QChar delimiter)
{
    const qsizetype at = text.indexOf(delimiter);
    if (at < 0) {
        QString whole;
        whole.swap(text);
        return whole;
    }
    QString first = text.left(at);
    text.remove(0, at + 1);
    return first;
}

void AllocateBitmaps(std::span<std::unique_ptr<QImage>> bitmaps)
{
    for (auto& slot : bitmaps)
        slot = std::make_unique<QImage>();
}

void DeallocateBitmaps(std::span<std::unique_ptr<QImage>> bitmaps)
{
    for (auto& slot : bitmaps)
        slot.reset();
}

TRect BitmapRect(const QImage& bitmap)
{
    const QSize size = LogicalSize(bitmap);
    return {0, 0, size.width(), size.height()};
}

TRect GlyphRect(const QImage& bitmap, int index, int count)
{
    if (count <= 1)
        return BitmapRect(bitmap);
    const QSize size = LogicalSize(bitmap);
    const int cellWidth = size.width() / count;
    return Bounds(cellWidth * index, 0, cellWidth, size.height());
}

QWidget* GetOwnerControl(const QObject* component)
{
    if (!component)
        return nullptr;
    QWidget* owner = qobject_cast<QWidget*>(component->parent());
    while (owner && owner->parentWidget())
        owner = owner->parentWidget();
    return owner;
}
