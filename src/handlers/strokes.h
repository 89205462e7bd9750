#pragma once

#include "handlers/layout.h"

// Stroke sizes in twips.
inline constexpr float kChalkRadius = 50;
inline constexpr float kEraserRadius = 100;
inline constexpr float kSpeckRadius = 3;
inline constexpr int kSpecksPerDab = 7;
inline constexpr int kSpeckSpread = 25; // offsets 0 to 24 on each axis

inline constexpr unsigned kBoardColour = layout::kBoardColour;
