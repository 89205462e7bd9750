#pragma once

#include "accessibility/accessibility.h"
#include "input/palmrejection.h"
#include "input/pointer.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>

class QTouchEvent;

// The board 書ける: keeps its drawing in an image and repaints from it, so nothing is lost
// to an expose. Coordinates and radii it reports and takes are its pixels (the window turns
// them into the handlers' twips and back).
//
// Mouse, pen and touch all reach the handler through onMouseMove, one call per delivered move:
// the left button, a pen's tip and a finger write (1); the right button, a pen's eraser end, the
// tip with the right barrel button, and the flat of a hand rub out (2). While a pen is near the
// screen, touch draws nothing (palm rejection).
//
// Focus reached with Tab shows as a dotted mark around the board, drawn over the image and never
// into it.
class BoardWidget final : public QWidget, public accessible::Canvas
{
public:
    // eraserRadius: the radius, in pixels, of the dab a move that rubs out lays.
    BoardWidget(QWidget *parent, QRgb background, double eraserRadius);

    // Button mask: 1 left, 2 right, 4 middle; the position in pixels.
    input::MoveSink onMouseMove;
    // Around all the moves of one touch frame: true before the first, false after the last.
    std::function<void(bool begins)> onTouchFrame;

    void clear();
    void circle(float x, float y, float radius, QRgb fill, QRgb outline);
    const QImage &image() const { return m_image; }

    PalmRejection &palmRejection() { return m_palmRejection; }
    // The screen's density that contact sizes are measured by, in place of the screen's own;
    // 0 for the screen's. For tests and benchmarks of other screens.
    void setDotsPerInch(double dotsPerInch) { m_dotsPerInch = dotsPerInch; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void tabletEvent(QTabletEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void touch(QTouchEvent *event);
    void move(std::int16_t button, const QPointF &pixels);

    QImage m_image;
    QRgb m_background;
    // Asked for since the last paint: a speck inside it needs no request of its own.
    QRect m_lastRequested;
    input::TouchTracker m_touches;
    PalmRejection m_palmRejection;
    double m_dotsPerInch = 0;
    const input::MoveSink m_move = [this](std::int16_t button, const QPointF &pixels) { move(button, pixels); };
    bool m_batching = false;
    QRegion m_batch; // a touch frame's dabs, repainted together
    bool m_keyboardFocus = false;
};
