// Touch and pen events sent through Qt's window-system path, as a touch screen or tablet would.
#include "injector.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <cmath>

namespace inject {

namespace {
using Sync = QWindowSystemInterface::SynchronousDelivery;

QPointF global(QWindow *window, const QPointF &local)
{
    return local + QPointF(window->mapToGlobal(QPoint(0, 0)));
}
} // namespace

const QPointingDevice *touchScreen(int maxPoints)
{
    static QPointingDevice *device = [maxPoints] {
        auto *d = new QPointingDevice(QStringLiteral("test touch screen"), 1001, QInputDevice::DeviceType::TouchScreen,
                                      QPointingDevice::PointerType::Finger,
                                      QInputDevice::Capability::Position | QInputDevice::Capability::Area
                                          | QInputDevice::Capability::NormalizedPosition,
                                      maxPoints, 0);
        QWindowSystemInterface::registerInputDevice(d);
        return d;
    }();
    return device;
}

const QPointingDevice *pen(QPointingDevice::PointerType type)
{
    const auto make = [](QPointingDevice::PointerType t, qint64 id) {
        auto *d = new QPointingDevice(QStringLiteral("test pen"), id, QInputDevice::DeviceType::Stylus, t,
                                      QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3,
                                      QString(), QPointingDeviceUniqueId::fromNumericId(id));
        QWindowSystemInterface::registerInputDevice(d);
        return d;
    };
    static QPointingDevice *tip = make(QPointingDevice::PointerType::Pen, 1002);
    static QPointingDevice *eraser = make(QPointingDevice::PointerType::Eraser, 1003);
    return type == QPointingDevice::PointerType::Eraser ? eraser : tip;
}

void touch(QWindow *window, const QList<Contact> &contacts, const QPointingDevice *device)
{
    const QRectF screen = window->screen()->geometry();
    QList<QWindowSystemInterface::TouchPoint> points;
    for (const Contact &c : contacts) {
        QWindowSystemInterface::TouchPoint p;
        p.id = c.id;
        p.state = c.state;
        p.pressure = c.state == QEventPoint::State::Released ? 0 : 1;
        const QPointF at = global(window, c.at);
        const double d = c.diameter;
        // Qt takes the point's position from the middle of its area: an unknown size is none.
        p.area = std::isfinite(d) && d > 0 ? QRectF(at.x() - d / 2, at.y() - d / 2, d, d) : QRectF(at, QSizeF(0, 0));
        p.normalPosition = QPointF((at.x() - screen.x()) / screen.width(), (at.y() - screen.y()) / screen.height());
        points << p;
    }
    QWindowSystemInterface::handleTouchEvent<Sync>(window, device ? device : touchScreen(), points);
}

void touchCancel(QWindow *window, const QPointingDevice *device)
{
    QWindowSystemInterface::handleTouchCancelEvent<Sync>(window, device ? device : touchScreen());
}

void tablet(QWindow *window, QPointingDevice::PointerType type, Qt::MouseButtons buttons, const QPointF &at)
{
    QWindowSystemInterface::handleTabletEvent(window, pen(type), at, global(window, at), buttons,
                                              buttons & Qt::LeftButton ? 0.5 : 0.0, 0, 0, 0, 0, 0);
    QWindowSystemInterface::flushWindowSystemEvents();
}

void penProximity(QWindow *window, QPointingDevice::PointerType type, bool entering)
{
    if (entering)
        QWindowSystemInterface::handleTabletEnterLeaveProximityEvent(window, 0, pen(type), true);
    else
        QWindowSystemInterface::handleTabletEnterLeaveProximityEvent(window, 0, pen(type), false);
    QWindowSystemInterface::flushWindowSystemEvents();
}

bool runLine(QWindow *window, const QString &line, QString *error)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return true;
    const QString &verb = words.first();
    const auto typeOf = [](const QString &word) {
        return word == QLatin1String("eraser") ? QPointingDevice::PointerType::Eraser
                                               : QPointingDevice::PointerType::Pen;
    };
    if (verb == QLatin1String("touch")) {
        QList<Contact> contacts;
        for (qsizetype i = 1; i < words.size(); ++i) {
            const QStringList f = words[i].split(QLatin1Char(':'));
            if (f.size() != 5) {
                *error = QStringLiteral("bad contact: ") + words[i];
                return false;
            }
            Contact c;
            c.id = f[0].toInt();
            c.at = QPointF(f[1].toDouble(), f[2].toDouble());
            c.diameter = f[3].toDouble();
            const QChar s = f[4].isEmpty() ? QLatin1Char('u') : f[4][0];
            c.state = s == QLatin1Char('p') ? QEventPoint::State::Pressed
                : s == QLatin1Char('r')     ? QEventPoint::State::Released
                : s == QLatin1Char('s')     ? QEventPoint::State::Stationary
                                            : QEventPoint::State::Updated;
            contacts << c;
        }
        touch(window, contacts);
        return true;
    }
    if (verb == QLatin1String("cancel")) {
        touchCancel(window);
        return true;
    }
    if (verb == QLatin1String("pen") && words.size() == 5) {
        tablet(window, typeOf(words[1]), Qt::MouseButtons::fromInt(words[2].toInt()),
               QPointF(words[3].toDouble(), words[4].toDouble()));
        return true;
    }
    if ((verb == QLatin1String("enter") || verb == QLatin1String("leave")) && words.size() == 2) {
        penProximity(window, typeOf(words[1]), verb == QLatin1String("enter"));
        return true;
    }
    *error = QStringLiteral("unknown line: ") + line;
    return false;
}

} // namespace inject
