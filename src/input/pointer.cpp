#include "input/pointer.h"

#include "handlers/layout.h"
#include "handlers/strokes.h"

#include <QEventPoint>

#include <algorithm>
#include <cmath>

namespace input {

namespace {
constexpr int kButtonMask = 7; // left, right, middle: the handler's mask
// No more touch points are followed than this, whatever a device reports.
constexpr int kMaxPalms = 64;
} // namespace

std::int16_t mouseButtons(Qt::MouseButtons buttons)
{
    return static_cast<std::int16_t>(buttons.toInt() & kButtonMask);
}

std::optional<std::int16_t> penButtons(QEvent::Type type, Qt::MouseButtons buttons, QPointingDevice::PointerType pointer)
{
    if (type != QEvent::TabletMove)
        return std::nullopt; // touching down or lifting lays no dab, as a press without a move
    const int held = static_cast<int>(buttons.toInt()) & kButtonMask;
    if (!(held & kWrite))
        return std::nullopt; // hovering: the pen is not on the surface
    // The eraser end, or the tip with the right barrel button held, rubs out; other barrel
    // buttons go to the handler as reported.
    const bool rubOut = pointer == QPointingDevice::PointerType::Eraser || held == (kWrite | kRubOut);
    return static_cast<std::int16_t>(rubOut ? kRubOut : held);
}

double contactMillimetres(const QSizeF &diameters, double dotsPerInch)
{
    const double across = std::max(diameters.width(), diameters.height());
    if (!std::isfinite(across) || across <= 0)
        return 0; // the hardware does not say how large the contact is
    if (!std::isfinite(dotsPerInch) || dotsPerInch <= 0)
        return 0;
    return across / dotsPerInch * 25.4;
}

void rubOutContact(const QPointF &centre, double diameterPixels, const QSize &board, const MoveSink &sink)
{
    // The hand is wider than one eraser dab: it rubs out with eraser moves on a grid across the
    // contact, spaced so that neighbouring dabs overlap and leave no chalk between them.
    // Every point of the contact lies within half a grid diagonal of a grid point, which is less
    // than the eraser's radius; grid points just outside the contact still count for that reason.
    const double eraserRadius = double(kEraserRadius) / layout::kTwipsPerPixel;
    const double spacing = std::floor(eraserRadius * std::sqrt(2.0));
    const double halfDiagonal = spacing / std::sqrt(2.0);
    const double reach = std::min(diameterPixels / 2, double(std::max(board.width(), board.height())));
    const int steps = static_cast<int>(std::ceil((reach + halfDiagonal) / spacing));
    const double limit = reach + halfDiagonal;
    for (int j = -steps; j <= steps; ++j) {
        for (int i = -steps; i <= steps; ++i) {
            const QPointF offset(i * spacing, j * spacing);
            if (std::hypot(offset.x(), offset.y()) <= limit)
                sink(kRubOut, centre + offset);
        }
    }
}

void TouchTracker::frame(const QList<QEventPoint> &points, bool ended, double dotsPerInch, const QSize &board,
                         const MoveSink &sink)
{
    for (const QEventPoint &point : points) {
        const int id = point.id();
        if (point.state() == QEventPoint::Released) {
            m_palms.remove(id);
            continue;
        }
        const QSizeF diameters = point.ellipseDiameters();
        if (contactMillimetres(diameters, dotsPerInch) >= kPalmMillimetres && m_palms.size() < kMaxPalms)
            m_palms.insert(id);
        // Only a point that moved lays a dab, as only a mouse move does.
        if (point.state() != QEventPoint::Updated)
            continue;
        if (!m_palms.isEmpty() && m_palms.contains(id))
            rubOutContact(point.position(), std::max(diameters.width(), diameters.height()), board, sink);
        else
            sink(kWrite, point.position());
    }
    if (ended)
        m_palms.clear();
}

} // namespace input
