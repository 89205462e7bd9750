#include "platform/circleraster.h"

#include <algorithm>
#include <cmath>

QRgb toQRgb(unsigned bbggrr)
{
    return qRgb(bbggrr & 0xFF, (bbggrr >> 8) & 0xFF, (bbggrr >> 16) & 0xFF);
}

QRect drawCircle(QImage &image, float cx, float cy, float radius, QRgb fill, QRgb outline)
{
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius))
        return {};
    radius = std::max(radius, 0.0f);
    // Far outside the image: nothing to draw, and the pixel arithmetic below must not overflow.
    if (cx + radius < -1 || cy + radius < -1 || cx - radius > image.width() + 1 || cy - radius > image.height() + 1)
        return {};
    const float r2 = radius * radius;
    const int centreX = static_cast<int>(std::floor(cx + 0.5f));
    const int centreY = static_cast<int>(std::floor(cy + 0.5f));
    const QRect bounds = QRect(QPoint(static_cast<int>(std::floor(cx - radius)), static_cast<int>(std::floor(cy - radius))),
                               QPoint(static_cast<int>(std::ceil(cx + radius)), static_cast<int>(std::ceil(cy + radius))))
                             .united(QRect(centreX, centreY, 1, 1));
    const QRect clipped = bounds & image.rect();
    if (clipped.isEmpty())
        return {};

    const auto inside = [&](int x, int y) {
        const float dx = x - cx;
        const float dy = y - cy;
        return dx * dx + dy * dy <= r2 || (x == centreX && y == centreY);
    };
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            if (!inside(x, y))
                continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            row[x] = edge ? outline : fill;
        }
    }
    return clipped;
}
