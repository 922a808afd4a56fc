// The widget library's shared vocabulary: its exception, notification events, enumerations,
// range types and the tables that turn enumerations into drawing codes.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>

class QObject;

// Every control and property object of the library shows this version.
inline const QString VrLibraryVersion = QStringLiteral("1.3");

// The one error the library raises; its message is the text the caller may show.
class EVrException : public std::runtime_error
{
public:
    explicit EVrException(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

// A notification event: called with the object that changed.
using TNotifyEvent = std::function<void(QObject* Sender)>;

using TVrHoursChangeEvent = std::function<void(QObject* Sender, std::uint16_t Hours)>;
using TVrMinutesChangeEvent = std::function<void(QObject* Sender, std::uint16_t Minutes)>;
using TVrSecondsChangeEvent = std::function<void(QObject* Sender, std::uint16_t Seconds)>;

enum TVrDrawStyle : std::uint8_t { dsOwnerDraw, dsNormal };
enum TVrTransparentMode : std::uint8_t { tmPixel, tmColor };
enum TVrTextAlignment : std::uint8_t {
    vtaLeft, vtaCenter, vtaRight, vtaTopLeft, vtaTop, vtaTopRight, vtaBottomLeft, vtaBottom, vtaBottomRight
};
enum TVrAlignment : std::uint8_t { vaLeftJustify, vaRightJustify, vaCenter };
enum TVrOrientation : std::uint8_t { voVertical, voHorizontal };
enum TVrGradDirection : std::uint8_t {
    gdUpDown, gdUpDownHalf, gdLeftRight, gdLeftRightHalf, gdChord1, gdChord2
};
enum TVrImageTextLayout : std::uint8_t { ImageLeft, ImageRight, ImageTop, ImageBottom };
enum TVrTickMarks : std::uint8_t { tmNone, tmBoth, tmBottomRight, tmTopLeft };
enum TVrProgressStyle : std::uint8_t { psBottomLeft, psTopRight };
enum TVrScrollDirection : std::uint8_t { sdRightToLeft, sdLeftToRight, sdTopToBottom, sdBottomToTop };

// The toolkit's control alignment; only alClient changes how bounds are re-evaluated.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// Range types: the storage type of each, with the values the designer accepts.
template <typename T, long long Lo, long long Hi>
struct TVrRange
{
    using Type = T;
    static constexpr T Low = static_cast<T>(Lo);
    static constexpr T High = static_cast<T>(Hi);
    static constexpr bool Contains(long long v) { return v >= Lo && v <= Hi; }
};

using TVrColInt = TVrRange<std::int32_t, 1, 2147483647>;
using TVrRowInt = TVrRange<std::int32_t, 1, 2147483647>;
using TVrMaxInt = TVrRange<std::int32_t, 1, 2147483647>;
using TVrIntMax = TVrRange<std::int32_t, 1, 2147483647>;
using TVrWordInt = TVrRange<std::int32_t, 0, 2147483647>;
using TVrHoursInt = TVrRange<std::uint8_t, 0, 23>;
using TVrMinutesInt = TVrRange<std::uint8_t, 0, 59>;
using TVrSecondsInt = TVrRange<std::uint8_t, 0, 59>;
using TVrPercentInt = TVrRange<std::uint8_t, 0, 100>;
using TVrByteInt = TVrRange<std::uint8_t, 0, 255>;
using TVrInt10 = TVrRange<std::uint8_t, 1, 10>;
using TVrAngle = TVrRange<std::uint16_t, 0, 359>;
using TVrTextAngle = TVrRange<std::uint16_t, 0, 359>;
using TVrDegrees = TVrRange<std::uint16_t, 0, 360>;

// Orientation codes of the drawing helpers.
inline constexpr std::array<std::int32_t, 2> cfOrientation{0, 1};
// Style codes taken by DrawGradientExt.
inline constexpr std::array<std::int32_t, 6> cfGradDirection{1, 5, 2, 6, 3, 4};
// Layout codes taken by CalcImageTextLayout.
inline constexpr std::array<std::int32_t, 4> cfImageTextLayout{1, 2, 3, 4};

// Text-format flags of formatted text drawing (horizontal: left 0, centre 1, right 2; vertical:
// top 0, centre 4, bottom 8); the values without a vertical word are vertically centred.
inline constexpr std::array<std::int32_t, 9> cfTextAlign{4, 5, 6, 0, 1, 2, 8, 9, 10};
