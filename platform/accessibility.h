#pragma once
// What assistive technology and keyboard users get from the window's controls: names, roles,
// states and actions through Qt's accessibility, and the focus mark shown when focus came from
// the keyboard.

#include <Qt>

class QPainter;
class QRect;
class QWidget;

// Registers the accessible interfaces of the board, the tray's pictures and the date strip.
// Safe to call more than once.
void installAccessibility();

// Focus that arrived this way shows its mark; focus from the mouse or the window manager does
// not, so the mouse-driven look stays as it is.
bool isKeyboardFocus(Qt::FocusReason reason);

// The mark: a dotted rectangle just inside the given one.
void drawFocusMark(QPainter &painter, const QRect &area);

// Tells assistive technology that the widget's state (checked, showing) or name changed.
void announceStateChange(QWidget *widget);
void announceNameChange(QWidget *widget);
