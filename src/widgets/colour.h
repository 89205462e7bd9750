#pragma once
// The program's colours, written as the handlers keep them (0xBBGGRR), as Qt takes them.

#include <QRgb>

inline QRgb toQRgb(unsigned bbggrr)
{
    return qRgb(bbggrr & 0xFF, (bbggrr >> 8) & 0xFF, (bbggrr >> 16) & 0xFF);
}
