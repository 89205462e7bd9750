#include "widgets/circleraster.h"

#include <algorithm>
#include <cmath>

QRect drawCircle(QImage &image, float cx, float cy, float radius, QRgb fill, QRgb outline)
{
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius))
        return {};
    radius = std::max(radius, 0.0f);
    // Far outside the image: nothing to draw, and the pixel arithmetic below must not overflow.
    if (cx + radius < -1 || cy + radius < -1 || cx - radius > image.width() + 1 || cy - radius > image.height() + 1)
        return {};
    const float r2 = radius * radius;
    // A huge radius or centre would not fit an int: clamp to just beyond the image first. Pixels
    // out there are never drawn, so the clamped bounds cover the same pixels of the image.
    const float low = -2.0f;
    const float highX = static_cast<float>(image.width()) + 2.0f;
    const float highY = static_cast<float>(image.height()) + 2.0f;
    const auto pixel
        = [](float value, float lowest, float highest) { return static_cast<int>(std::clamp(value, lowest, highest)); };
    const int centreX = pixel(std::floor(cx + 0.5f), low, highX);
    const int centreY = pixel(std::floor(cy + 0.5f), low, highY);
    const QRect bounds
        = QRect(QPoint(pixel(std::floor(cx - radius), low, highX), pixel(std::floor(cy - radius), low, highY)),
                QPoint(pixel(std::ceil(cx + radius), low, highX), pixel(std::ceil(cy + radius), low, highY)))
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
