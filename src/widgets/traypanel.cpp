#include "widgets/traypanel.h"

#include "handlers/layout.h"
#include "widgets/trayimage.h"

#include <QFocusEvent>

#include <QPainter>

namespace {
// Classic sunken edge: shadow over dark shadow at top and left, highlight over light at bottom and right.
constexpr QRgb kShadow = 0xFF808080;
constexpr QRgb kDarkShadow = 0xFF404040;
constexpr QRgb kHighlight = 0xFFFFFFFF;
constexpr QRgb kLight = 0xFFC0C0C0;
} // namespace

TrayPanel::TrayPanel(QWidget *parent, const QRect &geometry, QRgb background)
    : QWidget(parent)
    , m_background(background)
    , m_inside(new QWidget(this))
{
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const int border = layout::kTrayBorderPixels;
    m_inside->setGeometry(rect().adjusted(border, border, -border, -border));
}

QList<QWidget *> TrayPanel::members() const
{
    const QList<TrayImage *> pictures = trayPictures(m_inside);
    return {pictures.begin(), pictures.end()};
}

void TrayPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, QColor(m_background));
    const auto edge = [&](int inset, QRgb topLeft, QRgb bottomRight) {
        const QRect e = r.adjusted(inset, inset, -inset, -inset);
        painter.fillRect(QRect(e.left(), e.top(), e.width() - 1, 1), QColor(topLeft));
        painter.fillRect(QRect(e.left(), e.top(), 1, e.height() - 1), QColor(topLeft));
        painter.fillRect(QRect(e.left(), e.bottom(), e.width(), 1), QColor(bottomRight));
        painter.fillRect(QRect(e.right(), e.top(), 1, e.height()), QColor(bottomRight));
    };
    edge(0, kShadow, kHighlight);
    edge(1, kDarkShadow, kLight);
}

void TrayPanel::focusInEvent(QFocusEvent *event)
{
    const QList<TrayImage *> pictures = picturesOnTray(m_inside);
    if (pictures.isEmpty())
        return;
    auto *last = dynamic_cast<TrayImage *>(m_inside->focusWidget());
    TrayImage *to = last && pictures.contains(last) ? last : pictures.first();
    to->setFocus(event->reason());
}

bool TrayPanel::focusNextPrevChild(bool next)
{
    // From a picture, Tab and Shift+Tab leave the tray for the next stop outside it.
    QWidget *w = this;
    do {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
    } while (w != this && (isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled()));
    if (w == this)
        return false;
    w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
