#pragma once

#include "facts.h"

#include <QRect>

// The window's layout in twips; 15 twips to the pixel at 96 dpi.
namespace layout {

inline constexpr int kTwipsPerPixel = facts::kTwipsPerPixel;

struct TwipRect
{
    int left, top, width, height;
    constexpr QRect pixels() const
    {
        return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
    }
};

inline constexpr TwipRect kClient {0, 0, facts::kClientWidth, facts::kClientHeight};
inline constexpr TwipRect kTray {0, 6000, 9615, 735}; // Picture1
inline constexpr TwipRect kBoard {120, 120, 7575, 5895}; // 書ける
inline constexpr TwipRect kDate {7680, 120, 1815, 5895}; // 日付
inline constexpr int kTrayBorderPixels = 2; // sunken, on every side

// Inside the tray's border. Pictures are 32 x 32, stretched to twice their size.
inline constexpr TwipRect kEraser {6720, -120, 960, 960}; // 黒板消し
// チョーク(n)
constexpr TwipRect chalk(int n)
{
    return {240 + 1080 * n, -480, 960, 960};
}

// &H00BBGGRR colours.
inline constexpr facts::Colour kFrameColour = facts::kFrameColour;
inline constexpr facts::Colour kBoardColour = 0x4000;
inline constexpr facts::Colour kTrayColour = 0xE0E0E0;
inline constexpr facts::Colour kDateTextColour = 0xFFFFFF;

inline constexpr int kDatePixelSize = 64; // 48 pt at 96 dpi

// Every character a date can hold: a line's ink box is measured over them.
using facts::kDateCharacters;

} // namespace layout
