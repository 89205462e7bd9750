#pragma once
// The chalk sticks on the tray: the one table of their colours and names. Also read by the
// picture generator, which draws each stick's body in its colour, so nothing here needs Qt.

#include <array>
#include <cstdint>

struct ChalkStick
{
    std::uint32_t colour; // &H00BBGGRR
    const char *name; // the colour's name, UTF-8
};

// Left to right, by element index of チョーク.
inline constexpr std::array<ChalkStick, 6> kChalks = {{
    {0xFFFFFF, "白"},
    {0x00FFFF, "黄色"},
    {0xFF00FF, "赤紫"},
    {0x0000FF, "赤"},
    {0xFF0000, "青"},
    {0x008000, "緑"},
}};
inline constexpr int kChalkCount = static_cast<int>(kChalks.size());
