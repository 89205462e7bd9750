#include "widgets/trayimage.h"

#include "input/pointer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

#include <algorithm>

TrayImage::TrayImage(QWidget *parent, const QImage &picture, const QRect &geometry, Kind kind, const QString &name)
    : QWidget(parent)
    , m_picture(picture)
    , m_kind(kind)
{
    setGeometry(geometry);
    setName(name);
    // Touch comes here itself: Qt makes mouse events only of a touch screen's first finger, which
    // may be writing on the board.
    setAttribute(Qt::WA_AcceptTouchEvents);
    // A tab stop only while it holds the tray's (TrayPanel): the arrows move within the tray.
    setFocusPolicy(Qt::NoFocus);
}

QList<TrayImage *> trayPictures(const QWidget *tray)
{
    QList<TrayImage *> pictures;
    for (QObject *child : tray->children()) {
        if (auto *picture = dynamic_cast<TrayImage *>(child))
            pictures.append(picture);
    }
    std::sort(pictures.begin(), pictures.end(), [](TrayImage *a, TrayImage *b) { return a->x() < b->x(); });
    return pictures;
}

QList<TrayImage *> picturesOnTray(const QWidget *tray)
{
    QList<TrayImage *> pictures = trayPictures(tray);
    pictures.removeIf([](TrayImage *picture) { return picture->isHidden(); });
    return pictures;
}

void TrayImage::activate(bool byKey)
{
    if (isHidden())
        return;
    m_activatingByKey = byKey;
    if (onActivate)
        onActivate();
    m_activatingByKey = false;
}

void TrayImage::setVisible(bool visible)
{
    if (!visible && !isHidden() && hasFocus())
        passFocusOn();
    QWidget::setVisible(visible);
}

void TrayImage::passFocusOn()
{
    // Before it hides, or Qt would move the focus off the tray by itself, as if Tab had been
    // pressed: to the picture on its right, else the last one. The mark goes with it only when a
    // key took this picture off the tray.
    QList<TrayImage *> pictures = picturesOnTray(parentWidget());
    pictures.removeOne(this);
    if (pictures.isEmpty())
        return;
    const auto next = std::find_if(pictures.begin(), pictures.end(), [this](TrayImage *p) { return p->x() > x(); });
    const bool keyed = m_activatingByKey && m_keyboardFocus;
    (next != pictures.end() ? *next : pictures.last())->setFocus(keyed ? Qt::TabFocusReason : Qt::OtherFocusReason);
}

void TrayImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), m_picture);
    if (m_keyboardFocus && hasFocus())
        drawFocusMark(painter, rect());
}

bool TrayImage::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        // A finger lifted on the picture is a tap. Where a device reports it is held within
        // reach before it becomes whole pixels.
        for (const QEventPoint &point : static_cast<QTouchEvent *>(event)->points()) {
            const std::optional<QPointF> at = input::bounded(point.globalPosition());
            if (point.state() == QEventPoint::Released && QRectF(rect()).contains(point.position()) && at && onClick) {
                onClick(at->toPoint(), point.pressTimestamp());
                break;
            }
        }
        event->accept();
        return true;
    case QEvent::TouchCancel:
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

void TrayImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressedAt = event->timestamp();
}

void TrayImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
        onClick(event->globalPosition().toPoint(), m_pressedAt);
}

void TrayImage::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            activate(true);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End: {
        const QList<TrayImage *> pictures = picturesOnTray(parentWidget());
        const qsizetype here = pictures.indexOf(this);
        if (here < 0)
            return;
        qsizetype to = here;
        if (event->key() == Qt::Key_Left)
            to = std::max<qsizetype>(here - 1, 0);
        else if (event->key() == Qt::Key_Right)
            to = std::min<qsizetype>(here + 1, pictures.size() - 1);
        else
            to = event->key() == Qt::Key_Home ? 0 : pictures.size() - 1;
        pictures[to]->setFocus(Qt::TabFocusReason);
        return;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

void TrayImage::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = keyboardFocusMark(m_keyboardFocus, event->reason());
    update();
}

void TrayImage::focusOutEvent(QFocusEvent *)
{
    update();
}
