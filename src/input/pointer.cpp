#include "input/pointer.h"

#include "handlers/strokes.h"

#include <QEventPoint>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace input {

namespace {
constexpr int kButtonMask = 7; // left, right, middle: the handler's mask
// No more touch points are followed than this, whatever a device reports.
constexpr int kMaxContacts = 64;
} // namespace

std::optional<QPointF> bounded(const QPointF &position)
{
    if (std::isnan(position.x()) || std::isnan(position.y()))
        return std::nullopt;
    return QPointF(std::clamp(position.x(), -1e6, 1e6), std::clamp(position.y(), -1e6, 1e6));
}

std::int16_t mouseButtons(Qt::MouseButtons buttons)
{
    return static_cast<std::int16_t>(buttons.toInt() & kButtonMask);
}

std::optional<std::int16_t> penButtons(QEvent::Type type, Qt::MouseButtons buttons,
                                       QPointingDevice::PointerType pointer)
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

namespace {
// The part of the line centre + b * direction, b from lo to hi, inside the rectangle; empty (lo > hi)
// when none is.
std::pair<double, double> clip(const QPointF &centre, const QPointF &direction, double lo, double hi,
                               const QRectF &rect)
{
    // One side of the rectangle at a time: p * b <= q.
    const auto side = [&](double p, double q) {
        if (std::abs(p) < 1e-12) {
            if (q < 0)
                hi = lo - 1;
        } else if (p > 0) {
            hi = std::min(hi, q / p);
        } else {
            lo = std::max(lo, q / p);
        }
    };
    side(direction.x(), rect.right() - centre.x());
    side(-direction.x(), centre.x() - rect.left());
    side(direction.y(), rect.bottom() - centre.y());
    side(-direction.y(), centre.y() - rect.top());
    return {lo, hi};
}
} // namespace

void rubOutHand(const QPointF &from, const QPointF &to, double radius, double dab, const QSize &board,
                const MoveSink &sink)
{
    // Dabs this far apart leave nothing between them: half a diagonal is within a dab's radius.
    const double gapless = std::floor(dab * std::sqrt(2.0));
    // Where a dab's centre may lie for it to touch the board.
    const QRectF reach = QRectF(QPointF(0, 0), QSizeF(board)).adjusted(-dab, -dab, dab, dab);
    const double diagonal = std::hypot(reach.width(), reach.height());
    const QPointF along = to - from;
    double distance = std::hypot(along.x(), along.y());
    const QPointF forward = distance > 0 && std::isfinite(distance) ? along / distance : QPointF(1, 0);
    if (!std::isfinite(distance))
        distance = 0;
    distance = std::min(distance, diagonal); // a jump from far away rubs out only its last stretch
    const QPointF across(-forward.y(), forward.x());

    // Rows across the hand's width, from where it is now back along its way; both spacings alike,
    // never so tight that the rows and columns together exceed the bound.
    const auto [first, last] = clip(to, across, -radius, radius, reach);
    const double width = std::max(last - first, 0.0);
    const double step = std::max(gapless, std::sqrt(width * distance / kMaxDabsPerHand));
    const int columns = std::min(static_cast<int>(width / step) + 1, kMaxDabsPerHand);
    const int rows = std::clamp(static_cast<int>(std::ceil(distance / step)), 1, kMaxDabsPerHand / columns);
    int laid = 0;
    for (int k = 0; k < rows; ++k) {
        const QPointF centre = to - forward * (distance * k / rows);
        const auto [lo, hi] = clip(centre, across, -radius, radius, reach);
        if (hi < lo)
            continue;
        const int n = std::min(static_cast<int>((hi - lo) / step) + 1, columns);
        for (int j = 0; j < n; ++j) {
            const double b = n == 1 ? (lo + hi) / 2 : lo + (hi - lo) * j / (n - 1);
            sink(kRubOut, centre + across * b);
            ++laid;
        }
    }
    // Wholly off the board: nothing to rub out, but the eraser is in hand all the same.
    if (laid == 0)
        sink(kRubOut, to);
}

void TouchTracker::frame(const QList<QEventPoint> &points, bool ended, bool allowed, double dotsPerInch,
                         const QSize &board, const MoveSink &sink)
{
    const double largest = std::max(std::hypot(board.width(), board.height()), m_dab);
    for (const QEventPoint &point : points) {
        const int id = point.id();
        if (point.state() == QEventPoint::Released) {
            m_contacts.remove(id);
            continue;
        }
        const QPointF at = point.position();
        if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
            continue;
        auto contact = m_contacts.find(id);
        if (contact == m_contacts.end()) {
            if (m_contacts.size() >= kMaxContacts) {
                // Beyond what is followed: a finger, with nothing remembered of it.
                if (allowed && point.state() == QEventPoint::Updated)
                    sink(kWrite, at);
                continue;
            }
            contact = m_contacts.insert(id, Contact {at});
        }
        if (!allowed)
            contact->ignored = true;
        if (contact->ignored) {
            contact->last = at;
            continue;
        }
        // A hand stays a hand until it lifts; a size that says nothing keeps the last one.
        const QSizeF diameters = point.ellipseDiameters();
        if (contactMillimetres(diameters, dotsPerInch) >= kPalmMillimetres)
            contact->radius = std::clamp(std::max(diameters.width(), diameters.height()) / 2, m_dab, largest);
        // Only a point that moved lays a dab, as only a mouse move does.
        if (point.state() == QEventPoint::Updated) {
            if (contact->radius > 0)
                rubOutHand(contact->last, at, contact->radius, m_dab, board, sink);
            else
                sink(kWrite, at);
        }
        contact->last = at;
    }
    if (ended)
        m_contacts.clear();
}

} // namespace input
