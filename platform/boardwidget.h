#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>

// The board 書ける: keeps its drawing in an image and repaints from it, so nothing is lost
// to an expose. Coordinates it reports and takes are twips.
class BoardWidget final : public QWidget
{
public:
    explicit BoardWidget(QWidget *parent, QRgb background);

    // Button mask: 1 left, 2 right, 4 middle; coordinates in twips.
    std::function<void(std::int16_t button, float x, float y)> onMouseMove;

    void clear();
    void circle(float x, float y, float radius, QRgb fill, QRgb outline);
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QImage m_image;
    QRgb m_background;
    QRect m_pendingRepaint; // asked for since the last paint, so specks inside a dab ask nothing more
};
