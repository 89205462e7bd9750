// Touch and pen events sent through Qt's window-system path, as a touch screen or tablet would.
#pragma once

#include <QEventPoint>
#include <QList>
#include <QPointF>
#include <QPointingDevice>
#include <QString>

class QWindow;

// Touch and pen input delivered through Qt's window-system path, as a platform plugin would
// deliver it from real hardware. Positions are window-local logical pixels.
namespace inject {

// A touch screen reporting contact sizes, promising `maxPoints` points.
const QPointingDevice *touchScreen(int maxPoints = 10);
// A pen whose tip is the given pointer type (Pen or Eraser).
const QPointingDevice *pen(QPointingDevice::PointerType type);

struct Contact
{
    int id = 0;
    QPointF at;
    double diameter = 0; // logical pixels across; 0 when the hardware does not say
    QEventPoint::State state = QEventPoint::State::Updated;
};

// One touch frame: every contact in it, as the hardware reports them together.
void touch(QWindow *window, const QList<Contact> &contacts, const QPointingDevice *device = nullptr);
void touchCancel(QWindow *window, const QPointingDevice *device = nullptr);
// One tablet event; a pen touching down is a move or press with Qt::LeftButton among the buttons.
void tablet(QWindow *window, QPointingDevice::PointerType type, Qt::MouseButtons buttons, const QPointF &at);
void penProximity(QWindow *window, QPointingDevice::PointerType type, bool entering);

// Runs one line of the injection script; false, with *error set, for a line it cannot read.
//   touch ID:X:Y:DIAMETER:STATE ...   STATE is p(ressed), u(pdated), s(tationary) or r(eleased)
//   cancel
//   pen pen|eraser BUTTONS X Y        BUTTONS is the mask 1 tip, 2 and 4 barrel buttons
//   enter pen|eraser                  the pen comes near the screen
//   leave pen|eraser
bool runLine(QWindow *window, const QString &line, QString *error);

} // namespace inject
