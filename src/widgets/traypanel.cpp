#include "widgets/traypanel.h"

#include "handlers/layout.h"
#include "widgets/trayimage.h"

#include <QChildEvent>
#include <QPainter>

#include <algorithm>

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
    // Told of every picture put on it, and then of each one's focus and showing.
    m_inside->installEventFilter(this);
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

void TrayPanel::showEvent(QShowEvent *)
{
    moveTabStop();
}

bool TrayPanel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched == m_inside)
            static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        break;
    case QEvent::FocusIn:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched != m_inside)
            moveTabStop();
        break;
    default:
        break;
    }
    return false;
}

void TrayPanel::moveTabStop()
{
    // The picture in focus; else, until a picture has had the focus, the first one; else the one
    // that had the stop, while it is on the tray; else the picture to its right, or the last one.
    const QList<TrayImage *> onTray = picturesOnTray(m_inside);
    if (onTray.isEmpty())
        return;
    TrayImage *stop = nullptr;
    for (TrayImage *picture : onTray) {
        if (picture->hasFocus())
            stop = picture;
    }
    m_visited = m_visited || stop;
    if (!stop && !m_visited)
        stop = onTray.first();
    if (!stop && onTray.contains(m_tabStop))
        stop = m_tabStop;
    if (!stop) {
        const int after = m_tabStop ? m_tabStop->x() : -1;
        const auto next = std::find_if(onTray.begin(), onTray.end(), [after](TrayImage *p) { return p->x() > after; });
        stop = next != onTray.end() ? *next : onTray.last();
    }
    m_tabStop = stop;
    for (TrayImage *picture : trayPictures(m_inside))
        picture->setFocusPolicy(picture == stop ? Qt::TabFocus : Qt::NoFocus);
}
