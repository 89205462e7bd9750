#pragma once
// The board's drawing: its circles.

#include <QImage>
#include <QRect>

// Draws a filled circle into an RGB32 image and returns the clipped rectangle it may have changed.
// Centre and radius are in pixels, integer values at pixel centres. A pixel belongs to the
// disc when its centre lies within the radius; the pixel holding the centre always does, so
// no circle vanishes. Pixels of the disc with a 4-neighbour outside it are the outline.
QRect drawCircle(QImage &image, float cx, float cy, float radius, QRgb fill, QRgb outline);
