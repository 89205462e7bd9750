#pragma once
// The chalk sticks on the tray, left to right: their colours and names (one of the board's facts).

#include "facts.h"

using facts::ChalkStick;
using facts::kChalks;
inline constexpr int kChalkCount = static_cast<int>(kChalks.size());
