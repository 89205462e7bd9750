#pragma once
// What assistive technology and keyboard users get from the window's controls: names, roles,
// states and actions through Qt's accessibility, and the focus mark shown when focus came from
// the keyboard.

#include <Qt>

class QPainter;
class QRect;
class QWidget;

// Registers the accessible interfaces of the window, the board, the tray, its pictures and the
// date strip.
// Safe to call more than once.
void installAccessibility();

// Whether a widget's focus mark shows after focus arrives for this reason, given whether it
// showed before. Focus from Tab, Shift+Tab or the tray's arrows shows it; focus from the mouse or
// the program does not, so the mouse-driven look stays as it is; focus given back when a popup
// closes or the window is activated again keeps what it had.
bool keyboardFocusMark(bool before, Qt::FocusReason reason);

// The mark: a dotted rectangle just inside the given one.
void drawFocusMark(QPainter &painter, const QRect &area);

// Tells assistive technology that the widget's state (checked, showing) or name changed.
void announceStateChange(QWidget *widget);
void announceNameChange(QWidget *widget);
