#pragma once

#include "accessibility/accessibility.h"

#include <QWidget>

class TrayImage;

// The tray Picture1: light grey inside a sunken 3-D border two pixels wide. Its pictures
// live in inside(), which clips them to the area within the border.
//
// It is one stop for Tab, held by one of its pictures: the one last in focus while it is on the
// tray, else the picture that took its place. So Tab lands on a picture, and a screen reader names
// that picture at once; Tab from it leaves the tray.
class TrayPanel final : public QWidget, public accessible::Group
{
public:
    TrayPanel(QWidget *parent, const QRect &geometry, QRgb background);

    QWidget *inside() const { return m_inside; }
    // Its pictures, left to right, for assistive technology.
    QList<QWidget *> members() const override;
    // The picture Tab reaches.

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveTabStop();

    QRgb m_background;
    QWidget *m_inside;
    TrayImage *m_tabStop = nullptr;
    bool m_visited = false; // a picture has had the focus
};
