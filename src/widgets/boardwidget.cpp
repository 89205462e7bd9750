#include "widgets/boardwidget.h"

#include "accessibility/accessibility.h"

#include "handlers/layout.h"
#include "handlers/strokes.h"
#include "pictures/circleraster.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTabletEvent>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr std::int16_t kWrite = 1;
constexpr std::int16_t kRubOut = 2;
constexpr int kButtonMask = 7; // left, right, middle: the handler's mask; side buttons are not in it
// No more touch points are followed than this, whatever a device reports.
constexpr int kMaxPalms = 64;
} // namespace

BoardWidget::BoardWidget(QWidget *parent, QRgb background)
    : QWidget(parent)
    , m_image(layout::kBoard.pixels().size(), QImage::Format_RGB32)
    , m_background(background)
{
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    m_image.fill(m_background);
}

void BoardWidget::clear()
{
    m_image.fill(m_background);
    m_lastRequested = rect();
    update();
}

void BoardWidget::circle(float x, float y, float radius, QRgb fill, QRgb outline)
{
    constexpr float kPixel = layout::kTwipsPerPixel;
    const QRect changed = drawCircle(m_image, x / kPixel, y / kPixel, radius / kPixel, fill, outline);
    // Qt collects the requests into a region, not their bounding box: only an area inside one
    // that was itself requested is sure to be repainted. A speck lies inside its own dab.
    if (changed.isEmpty() || m_lastRequested.contains(changed))
        return;
    m_lastRequested = changed;
    if (m_batching)
        m_batch += changed;
    else
        update(changed);
}

void BoardWidget::paintEvent(QPaintEvent *event)
{
    // Logical pixels map 1:1 to the image; at higher scale factors the painter stretches it
    // with nearest-neighbour sampling, so chalk stays grainy rather than blurred.
    QPainter painter(this);
    for (const QRect &area : event->region())
        painter.drawImage(area, m_image, area);
    // Inside the parts that show: the tray covers the last row.
    if (m_keyboardFocus && hasFocus())
        drawFocusMark(painter, rect().adjusted(2, 2, -2, -3));
    m_lastRequested = QRect();
}

void BoardWidget::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = keyboardFocusMark(m_keyboardFocus, event->reason());
    if (m_keyboardFocus)
        update();
}

void BoardWidget::focusOutEvent(QFocusEvent *)
{
    if (m_keyboardFocus)
        update();
}

void BoardWidget::move(std::int16_t button, const QPointF &pixels)
{
    if (!onMouseMove)
        return;
    const QPointF at = pixels * layout::kTwipsPerPixel;
    onMouseMove(button, static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void BoardWidget::mouseMoveEvent(QMouseEvent *event)
{
    move(static_cast<std::int16_t>(event->buttons().toInt() & kButtonMask), event->position());
}

void BoardWidget::tabletEvent(QTabletEvent *event)
{
    // Taken here, so Qt makes no mouse events of it as well.
    event->accept();
    if (event->type() != QEvent::TabletMove)
        return; // touching down or lifting lays no dab, as a press without a move
    const int buttons = static_cast<int>(event->buttons().toInt()) & kButtonMask;
    if (!(buttons & kWrite))
        return; // hovering: the pen is not on the surface
    // The eraser end, or the tip with the right barrel button held, rubs out; other barrel
    // buttons go to the handler as reported.
    const bool rubOut = event->pointerType() == QPointingDevice::PointerType::Eraser || buttons == (kWrite | kRubOut);
    move(static_cast<std::int16_t>(rubOut ? kRubOut : buttons), event->position());
}

bool BoardWidget::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        touch(static_cast<QTouchEvent *>(event));
        event->accept();
        return true;
    case QEvent::TouchCancel:
        // The system took the touches back: what is drawn stays, nothing more is drawn.
        m_palms.clear();
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

double BoardWidget::contactMillimetres(const QEventPoint &point) const
{
    const QSizeF diameters = point.ellipseDiameters();
    const double across = std::max(diameters.width(), diameters.height());
    if (!std::isfinite(across) || across <= 0)
        return 0; // the hardware does not say how large the contact is
    const QScreen *where = screen();
    const double dpi = where ? where->physicalDotsPerInch() : 0.0;
    if (!std::isfinite(dpi) || dpi <= 0)
        return 0;
    return across / dpi * 25.4;
}

void BoardWidget::touch(QTouchEvent *event)
{
    // One repaint request for the whole frame: Qt's pending area is a region, and adding many
    // separate dabs to it one by one costs more than adding them once together.
    m_batching = true;
    for (const QEventPoint &point : event->points()) {
        const int id = point.id();
        if (point.state() == QEventPoint::Released) {
            m_palms.remove(id);
            continue;
        }
        if (contactMillimetres(point) >= kPalmMillimetres && m_palms.size() < kMaxPalms)
            m_palms.insert(id);
        // Only a point that moved lays a dab, as only a mouse move does.
        if (point.state() != QEventPoint::Updated)
            continue;
        if (!m_palms.isEmpty() && m_palms.contains(id))
            rubOutContact(point.position(), std::max(point.ellipseDiameters().width(), point.ellipseDiameters().height()));
        else
            move(kWrite, point.position());
    }
    if (event->type() == QEvent::TouchEnd)
        m_palms.clear();
    m_batching = false;
    if (!m_batch.isEmpty())
        update(std::exchange(m_batch, QRegion()));
}

void BoardWidget::rubOutContact(const QPointF &centre, double diameterPixels)
{
    // The hand is wider than one eraser dab: it rubs out with eraser moves on a grid across the
    // contact, spaced so that neighbouring dabs overlap and leave no chalk between them.
    // Every point of the contact lies within half a grid diagonal of a grid point, which is less
    // than the eraser's radius; grid points just outside the contact still count for that reason.
    const double eraserRadius = double(kEraserRadius) / layout::kTwipsPerPixel;
    const double spacing = std::floor(eraserRadius * std::sqrt(2.0));
    const double halfDiagonal = spacing / std::sqrt(2.0);
    const double reach = std::min(diameterPixels / 2, double(std::max(width(), height())));
    const int steps = static_cast<int>(std::ceil((reach + halfDiagonal) / spacing));
    const double limit = reach + halfDiagonal;
    for (int j = -steps; j <= steps; ++j) {
        for (int i = -steps; i <= steps; ++i) {
            const QPointF offset(i * spacing, j * spacing);
            if (std::hypot(offset.x(), offset.y()) <= limit)
                move(kRubOut, centre + offset);
        }
    }
}
