#pragma once
// Mouse, pen and touch turned into what the board's handler takes: a button mask and a position.
// The left button, a pen's tip and a finger write (1); the right button, a pen's eraser end, the
// tip with the right barrel button, and the flat of a hand rub out (2). Positions and sizes are
// the board's pixels.

#include "handlers/strokes.h"

#include <QEvent>
#include <QHash>
#include <QPointF>
#include <QPointingDevice>
#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>

class QEventPoint;

namespace input {

inline constexpr std::int16_t kWrite = kLeftButton;
inline constexpr std::int16_t kRubOut = kRightButton;

// One move for the board's handler, in the board's pixels.
using MoveSink = std::function<void(std::int16_t button, const QPointF &pixels)>;

// A position reported by a device, held within a million pixels of the origin: far beyond any
// screen, so nothing that draws changes, and near enough for float twips and int pixels. None
// where a coordinate is not a number: such a report says nowhere, and nothing happens there.
std::optional<QPointF> bounded(const QPointF &position);

// The mouse buttons held, as the handler's mask: left, right, middle; side buttons are not in it.
std::int16_t mouseButtons(Qt::MouseButtons buttons);

// The move a pen event makes, if any: only a pen on the surface and moving lays a dab.
std::optional<std::int16_t> penButtons(QEvent::Type type, Qt::MouseButtons buttons,
                                       QPointingDevice::PointerType pointer);

// A contact's width across in millimetres, from its ellipse and the screen's density; 0 when
// either is unknown, zero or not finite.
double contactMillimetres(const QSizeF &diameters, double dotsPerInch);

// A contact at least this wide is a hand rubbing out, not a finger writing.
inline constexpr double kPalmMillimetres = 20.0;
// The most eraser moves one hand makes in one frame, whatever its size and the screen's density.
inline constexpr int kMaxDabsPerHand = 48;

// The flat of a hand, of the given radius, moved from one point to the next: eraser moves across
// its whole width along the way (each rubbing out a dab of radius dab), only where they touch
// the board, at most kMaxDabsPerHand. Up to a speed that grows as the hand narrows (for a 100 mm
// hand about 10 pixels a frame) the band is rubbed out without a gap; faster, the moves spread
// out evenly over it, as a fast mouse drag leaves gaps between its dabs.
void rubOutHand(const QPointF &from, const QPointF &to, double radius, double dab, const QSize &board,
                const MoveSink &sink);

// Follows the touch points of one board from frame to frame: where each was, which of them are
// the flat of a hand, and which are not to draw at all, until they lift.
class TouchTracker
{
public:
    // dab: the radius of the dab an eraser move lays.
    explicit TouchTracker(double dab)
        : m_dab(dab)
    {}

    // The moves of one touch frame. ended: the last point lifted in it. allowed: false while a
    // pen is near; every point then draws nothing until it lifts.
    void frame(const QList<QEventPoint> &points, bool ended, bool allowed, double dotsPerInch, const QSize &board,
               const MoveSink &sink);
    // The system took the touches back: what is drawn stays, nothing more is drawn.
    void cancel() { m_contacts.clear(); }

private:
    struct Contact
    {
        QPointF last; // where the last frame had it
        double radius = 0; // pixels; above 0 it is the flat of a hand
        bool ignored = false;
    };
    double m_dab;
    QHash<int, Contact> m_contacts;
};

} // namespace input
