#include "platform/boardwidget.h"

#include "board/layout.h"
#include "platform/circleraster.h"

#include <QMouseEvent>
#include <QPainter>

BoardWidget::BoardWidget(QWidget *parent, QRgb background)
    : QWidget(parent)
    , m_image(layout::kBoard.pixels().size(), QImage::Format_RGB32)
    , m_background(background)
{
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_image.fill(m_background);
}

void BoardWidget::clear()
{
    m_image.fill(m_background);
    m_pendingRepaint = rect();
    update();
}

void BoardWidget::circle(float x, float y, float radius, QRgb fill, QRgb outline)
{
    constexpr float kPixel = layout::kTwipsPerPixel;
    const QRect changed = drawCircle(m_image, x / kPixel, y / kPixel, radius / kPixel, fill, outline);
    if (changed.isEmpty() || m_pendingRepaint.contains(changed))
        return;
    m_pendingRepaint |= changed;
    update(changed);
}

void BoardWidget::paintEvent(QPaintEvent *event)
{
    // Logical pixels map 1:1 to the image; at higher scale factors the painter stretches it
    // with nearest-neighbour sampling, so chalk stays grainy rather than blurred.
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, event->rect());
    m_pendingRepaint = QRect();
}

void BoardWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!onMouseMove)
        return;
    const auto button = static_cast<std::int16_t>(event->buttons().toInt() & 0x7FFF);
    const QPointF at = event->position() * layout::kTwipsPerPixel;
    onMouseMove(button, static_cast<float>(at.x()), static_cast<float>(at.y()));
}
