#include "widgets/boardwidget.h"

#include "handlers/layout.h"
#include "input/pointer.h"
#include "widgets/circleraster.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTabletEvent>
#include <QTouchEvent>

#include <utility>

BoardWidget::BoardWidget(QWidget *parent, QRgb background, double eraserRadius)
    : QWidget(parent)
    , m_image(layout::kBoard.pixels().size(), QImage::Format_RGB32)
    , m_background(background)
    , m_touches(eraserRadius)
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
    const QRect changed = drawCircle(m_image, x, y, radius, fill, outline);
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
    const std::optional<QPointF> held = input::bounded(pixels);
    if (onMouseMove && held)
        onMouseMove(button, *held);
}

void BoardWidget::mouseMoveEvent(QMouseEvent *event)
{
    move(input::mouseButtons(event->buttons()), event->position());
}

void BoardWidget::tabletEvent(QTabletEvent *event)
{
    // Taken here, so Qt makes no mouse events of it as well.
    event->accept();
    if (const std::optional<std::int16_t> button
        = input::penButtons(event->type(), event->buttons(), event->pointerType()))
        move(*button, event->position());
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
        m_touches.cancel();
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

void BoardWidget::touch(QTouchEvent *event)
{
    // One repaint request for the whole frame: Qt's pending area is a region, and adding many
    // separate dabs to it one by one costs more than adding them once together.
    m_batching = true;
    if (onTouchFrame)
        onTouchFrame(true);
    const QScreen *where = screen();
    const double dpi = m_dotsPerInch > 0 ? m_dotsPerInch : where ? where->physicalDotsPerInch() : 0.0;
    m_touches.frame(event->points(), event->type() == QEvent::TouchEnd, m_palmRejection.touchAllowed(), dpi, size(),
                    m_move);
    if (onTouchFrame)
        onTouchFrame(false);
    m_batching = false;
    if (!m_batch.isEmpty())
        update(std::exchange(m_batch, QRegion()));
}
