#include "input/palmrejection.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTabletEvent>

PalmRejection::PalmRejection(QObject *parent)
    : QObject(parent)
    , m_now([this] { return m_started.elapsed(); })
{
    m_started.start();
}

bool PalmRejection::touchAllowed() const
{
    if (!m_seen)
        return true;
    if (m_tipDown)
        return false;
    const qint64 silent = m_now() - m_last;
    return silent >= (m_inProximity ? kSilentNearMs : kQuietMs);
}

void PalmRejection::penNear(bool inProximity)
{
    m_inProximity = inProximity;
    penEvent(false);
}

void PalmRejection::penEvent(bool tipDown)
{
    m_tipDown = tipDown;
    m_seen = true;
    m_last = m_now();
}

bool PalmRejection::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::TabletEnterProximity:
        penNear(true);
        break;
    case QEvent::TabletLeaveProximity:
        penNear(false);
        break;
    case QEvent::TabletMove:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        penEvent(static_cast<QTabletEvent *>(event)->buttons().testFlag(Qt::LeftButton));
        break;
    default:
        break;
    }
    return false;
}
