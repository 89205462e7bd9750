#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

// A picture on the tray, stretched to its control with nearest-neighbour sampling.
// A left click on it raises onClick with where (global) and when (the event's timestamp, ms) it
// happened; hidden, it takes no clicks.
class TrayImage final : public QWidget
{
public:
    TrayImage(QWidget *parent, const QImage &picture, const QRect &geometry);

    std::function<void(const QPoint &global, quint64 timestamp)> onClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
};
