// Colour resolution and arithmetic.
#include "widgets/Vrsysutils.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace {

struct SystemColorRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The platform's system-colour indices 0..30 mapped onto the palette; index 25 is unassigned.
const std::array<std::optional<SystemColorRole>, 31> systemColorRoles = {{
    SystemColorRole{QPalette::Active, QPalette::Button},          // 0 scroll bar
    SystemColorRole{QPalette::Active, QPalette::Dark},            // 1 desktop background
    SystemColorRole{QPalette::Active, QPalette::Highlight},       // 2 active caption
    SystemColorRole{QPalette::Inactive, QPalette::Mid},           // 3 inactive caption
    SystemColorRole{QPalette::Active, QPalette::Window},          // 4 menu
    SystemColorRole{QPalette::Active, QPalette::Base},            // 5 window
    SystemColorRole{QPalette::Active, QPalette::Shadow},          // 6 window frame
    SystemColorRole{QPalette::Active, QPalette::WindowText},      // 7 menu text
    SystemColorRole{QPalette::Active, QPalette::Text},            // 8 window text
    SystemColorRole{QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    SystemColorRole{QPalette::Active, QPalette::Button},          // 10 active border
    SystemColorRole{QPalette::Inactive, QPalette::Button},        // 11 inactive border
    SystemColorRole{QPalette::Active, QPalette::Mid},             // 12 application workspace
    SystemColorRole{QPalette::Active, QPalette::Highlight},       // 13 highlight
    SystemColorRole{QPalette::Active, QPalette::HighlightedText}, // 14 highlighted text
    SystemColorRole{QPalette::Active, QPalette::Button},          // 15 button face
    SystemColorRole{QPalette::Active, QPalette::Dark},            // 16 button shadow
    SystemColorRole{QPalette::Disabled, QPalette::Text},          // 17 grey text
    SystemColorRole{QPalette::Active, QPalette::ButtonText},      // 18 button text
    SystemColorRole{QPalette::Inactive, QPalette::WindowText},    // 19 inactive caption text
    SystemColorRole{QPalette::Active, QPalette::Light},           // 20 button highlight
    SystemColorRole{QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    SystemColorRole{QPalette::Active, QPalette::Midlight},        // 22 3-D light
    SystemColorRole{QPalette::Active, QPalette::ToolTipText},     // 23 info text
    SystemColorRole{QPalette::Active, QPalette::ToolTipBase},     // 24 info background
    std::nullopt,                                                 // 25
    SystemColorRole{QPalette::Active, QPalette::Link},            // 26 hot-tracked item
    SystemColorRole{QPalette::Active, QPalette::Highlight},       // 27 active caption gradient
    SystemColorRole{QPalette::Inactive, QPalette::Mid},           // 28 inactive caption gradient
    SystemColorRole{QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    SystemColorRole{QPalette::Active, QPalette::Window},          // 30 menu bar
}};

std::uint8_t ClampedComponent(int component, int amount)
{
    const long long value = static_cast<long long>(component) + amount;
    if (amount > 0)
        return std::uint8_t(value > 255 ? 254 : value);
    return std::uint8_t(value < 0 ? 1 : value);
}

} // namespace

TColor Color2RGB(TColor color)
{
    if (color >= 0)
        return color;
    const unsigned index = unsigned(color) & 0xFF;
    if (index >= systemColorRoles.size() || !systemColorRoles[index])
        return clBlack; // the platform answers black for an unknown index
    const SystemColorRole& entry = *systemColorRoles[index];
    const QColor value = QGuiApplication::palette().color(entry.group, entry.role);
    return RGBColor(value.red(), value.green(), value.blue());
}

QRgb ColorToRgb(TColor color)
{
    const TColor rgb = Color2RGB(color);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void GetRGB(TColor color, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue)
{
    const TColor rgb = Color2RGB(color);
    red = std::uint8_t(GetRValue(rgb));
    green = std::uint8_t(GetGValue(rgb));
    blue = std::uint8_t(GetBValue(rgb));
}

TColor AdjustColor(TColor color, int amount)
{
    std::uint8_t r = 0, g = 0, b = 0;
    GetRGB(color, r, g, b);
    return RGBColor(ClampedComponent(r, amount), ClampedComponent(g, amount), ClampedComponent(b, amount));
}
