#pragma once

#include "accessibility/accessibility.h"

#include <QWidget>

// The tray Picture1: light grey inside a sunken 3-D border two pixels wide. Its pictures
// live in inside(), which clips them to the area within the border.
//
// It is one stop for Tab: focus arriving here goes on to the picture last focused (or the first
// on the tray), and Tab from any picture leaves the tray.
class TrayPanel final : public QWidget, public accessible::Group
{
public:
    TrayPanel(QWidget *parent, const QRect &geometry, QRgb background);

    QWidget *inside() const { return m_inside; }
    // Its pictures, left to right, for assistive technology.
    QList<QWidget *> members() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QRgb m_background;
    QWidget *m_inside;
};
