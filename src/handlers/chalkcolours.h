#pragma once

#include "handlers/layout.h"
#include "forms/forms.h"

#include <array>

// The tray's sticks from left to right, by element index.
inline constexpr std::array<Colour, 6> kChalkColours = {
    0xFFFFFF, // white
    0x00FFFF, // yellow
    0xFF00FF, // magenta
    0x0000FF, // red
    0xFF0000, // blue
    0x008000, // green
};

inline constexpr Colour kBoardColour = layout::kBoardColour;

// Stroke sizes in twips.
inline constexpr float kChalkRadius = 50;
inline constexpr float kEraserRadius = 100;
inline constexpr float kSpeckRadius = 3;
inline constexpr int kSpecksPerDab = 7;
inline constexpr int kSpeckSpread = 25; // offsets 0 to 24 on each axis
