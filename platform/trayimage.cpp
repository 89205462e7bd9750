#include "platform/trayimage.h"

#include <QMouseEvent>
#include <QPainter>

TrayImage::TrayImage(QWidget *parent, const QImage &picture, const QRect &geometry)
    : QWidget(parent)
    , m_picture(picture)
{
    setGeometry(geometry);
}

void TrayImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), m_picture);
}

void TrayImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
        onClick(event->globalPosition().toPoint(), event->timestamp());
}
