#pragma once

#include "accessibility/accessibility.h"

#include <QImage>
#include <QWidget>

#include <functional>

// A picture on the tray, stretched to its control with nearest-neighbour sampling.
// A left click or a tap on it raises onClick with where (global) and when (the press's timestamp,
// ms: a double click is measured from press to press) it happened; hidden, it takes no clicks. A tap counts whatever
// other fingers do on the board meanwhile.
//
// From the keyboard it is reached through the tray: Left, Right, Home and End move between the
// pictures on the tray, Space or Enter acts as a click (onActivate, as does an assistive
// technology's action). Its focus mark shows only when focus came from the keyboard.
class TrayImage final : public QWidget, public accessible::Picture
{
public:
    enum class Kind { Chalk, Eraser };

    TrayImage(QWidget *parent, const QImage &picture, const QRect &geometry, Kind kind, const QString &name);

    std::function<void(const QPoint &global, quint64 timestamp)> onClick;
    std::function<void()> onActivate;

    // A click, from the keyboard (byKey) or from assistive technology.
    void activate() override { activate(false); }
    void activate(bool byKey);
    bool opensMenu() const override { return m_kind == Kind::Eraser; }

    // Focus stays on the tray: a picture leaving it with the focus passes it to the picture next
    // to it, quietly unless a key took it off.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QImage m_picture;
    Kind m_kind;
    void passFocusOn();

    bool m_keyboardFocus = false;
    bool m_activatingByKey = false;
    quint64 m_pressedAt = 0;
};

// The tray's pictures, left to right; picturesOnTray only those on it, which take clicks.
QList<TrayImage *> trayPictures(const QWidget *tray);
QList<TrayImage *> picturesOnTray(const QWidget *tray);
