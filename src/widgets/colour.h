#pragma once
// The program's colours, written as the handlers keep them (0xBBGGRR), as Qt takes them.

#include "facts.h"

#include <QRgb>

inline QRgb toQRgb(facts::Colour bbggrr)
{
    return qRgb(bbggrr & 0xFF, (bbggrr >> 8) & 0xFF, (bbggrr >> 16) & 0xFF);
}
