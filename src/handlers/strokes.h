#pragma once

#include "handlers/layout.h"

#include <cstdint>

// The buttons a move reports, as the form's mouse events number them: the left writes, the
// right rubs out.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;

// Stroke sizes in twips.
inline constexpr float kChalkRadius = 50;
inline constexpr float kEraserRadius = 100;
inline constexpr float kSpeckRadius = 3;
inline constexpr int kSpecksPerDab = 7;
inline constexpr int kSpeckSpread = 25; // offsets 0 to 24 on each axis

inline constexpr facts::Colour kBoardColour = layout::kBoardColour;
