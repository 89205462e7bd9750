#include "widgets/blackboardwindow.h"

#include "facts.h"
#include "handlers/chalktable.h"
#include "handlers/layout.h"
#include "handlers/strokes.h"
#include "pictures/builtin.h"
#include "pictures/cursorloader.h"
#include "system/display.h"
#include "widgets/boardwidget.h"
#include "widgets/colour.h"
#include "widgets/datestrip.h"
#include "widgets/erasermenu.h"
#include "widgets/trayimage.h"
#include "widgets/traypanel.h"

#include <QBackingStore>
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QPlatformSurfaceEvent>
#include <QWindow>

#include <utility>

BlackboardWindow::BlackboardWindow()
    // Fixed by its size alone: Windows' fixed-size dialog frame does not follow a window moved to
    // a monitor of another density.
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(facts::kTitle));
    setFixedSize(layout::kClient.pixels().size());
    QPalette framePalette = palette();
    framePalette.setColor(QPalette::Window, QColor(toQRgb(layout::kFrameColour)));
    setPalette(framePalette);
    setAutoFillBackground(true);

    // At each size the title bar and taskbar ask for at 100 % to 200 %, scaled from the 32 x 32
    // design as the desktop's icons are, rather than blurred from it by the system.
    const QImage design = builtInPicture(QStringLiteral("zav.ico")).image;
    QIcon icon;
    for (const int size : {ZAV_ICON_SIZES})
        icon.addPixmap(QPixmap::fromImage(design.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    setWindowIcon(icon);

    // Created bottom first: the label, then the board over its left edge, then the tray over both.
    m_date = new DateStrip(this, layout::kDate.pixels());
    m_date->setObjectName(QStringLiteral("日付"));
    m_board = new BoardWidget(this, toQRgb(layout::kBoardColour), kEraserRadius / layout::kTwipsPerPixel);
    m_board->setObjectName(QStringLiteral("書ける"));
    m_board->setGeometry(layout::kBoard.pixels());
    m_board->setFocusPolicy(Qt::TabFocus);
    m_board->setName(QStringLiteral("黒板"));
    // The handlers speak twips; the board, its pixels: turned here, once each way (Circle below).
    m_board->onMouseMove = [this](std::int16_t button, const QPointF &pixels) {
        const QPointF at = pixels * layout::kTwipsPerPixel;
        if (m_events)
            m_events->書ける_MouseMove(button, 0, static_cast<float>(at.x()), static_cast<float>(at.y()));
    };
    m_tray = new TrayPanel(this, layout::kTray.pixels(), toQRgb(layout::kTrayColour));
    m_tray->setObjectName(QStringLiteral("Picture1"));
    m_tray->setName(QStringLiteral("チョーク入れ"));
    const IconFileImage hand = builtInPicture(QStringLiteral("hand.cur"));
    m_tray->setCursor(QCursor(QPixmap::fromImage(hand.image), hand.hotspot.x(), hand.hotspot.y()));

    for (int n = 0; n < kChalkCount; ++n) {
        const IconFileImage stick = builtInPicture(QStringLiteral("chalk%1.ico").arg(n));
        m_chalks[n] = new TrayImage(m_tray->inside(), stick.image, layout::chalk(n).pixels(), TrayImage::Kind::Chalk,
                                    QString::fromUtf8(kChalks[n].name) + QStringLiteral("のチョーク"));
        m_chalks[n]->setObjectName(QStringLiteral("チョーク%1").arg(n));
        m_chalks[n]->onActivate = [this, n] {
            if (m_events)
                m_events->チョーク_Click(static_cast<std::int16_t>(n));
        };
        m_chalks[n]->onClick = [stick = m_chalks[n]](const QPoint &, quint64) { stick->activate(); };
    }
    m_eraser = new TrayImage(m_tray->inside(), builtInPicture(QStringLiteral("eraser.ico")).image,
                             layout::kEraser.pixels(), TrayImage::Kind::Eraser, QStringLiteral("黒板消し"));
    m_eraser->setObjectName(QStringLiteral("黒板消し"));
    m_eraser->onClick = [this](const QPoint &global, quint64 timestamp) {
        if (m_events)
            m_events->黒板消し_Click({global, timestamp});
    };
    // From the keyboard or assistive technology there is no click to open at: the menu opens
    // beside the eraser, to its right.
    m_eraser->onActivate = [this] {
        if (m_events)
            m_events->黒板消し_Click({m_eraser->mapToGlobal(QPoint(m_eraser->width(), 0)), std::nullopt});
    };
    m_menu = new EraserMenu(this, [this](void (FormEvents::*handler)()) {
        if (m_events)
            (m_events->*handler)();
    });

    setName(windowTitle());
    // How to use it, read once, as the window opens; what is in hand is read as focus moves.
    setDescription(
        this,
        QStringLiteral("左ボタンを押したまま動かすとチョークで書けます。右ボタンを押したまま動かすと消せます。"
                       "ペンの先や指でも書けます。ペンの消しゴム側や手のひらでこすると消せます。"
                       "Tab でチョーク入れに移り、矢印キーで選んで Space で持ちます。"));
    // Focus starts on the board, quietly: its mark shows once Tab is used.
    m_board->setFocus(Qt::OtherFocusReason);
}

BlackboardWindow::~BlackboardWindow()
{
    // Released here: by the time QWidget takes the native window away, this is no longer a
    // BlackboardWindow to hear of it.
    if (m_native && m_native->handle())
        os::releaseWindow(m_native->winId());
}

void BlackboardWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QWindow *native = windowHandle();
    if (!native || native == m_native)
        return;
    if (m_native)
        m_native->removeEventFilter(this);
    m_native = native;
    m_native->installEventFilter(this);
    os::prepareWindow(m_native->winId());
}

bool BlackboardWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_native && event->type() == QEvent::PlatformSurface) {
        if (static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() == QPlatformSurfaceEvent::SurfaceCreated)
            os::prepareWindow(m_native->winId());
        else
            os::releaseWindow(m_native->winId());
    }
    if (watched == m_native && (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest))
        markAllAtNewScale();
    return QWidget::eventFilter(watched, event);
}

void BlackboardWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        announce(this, description());
}

// At a new scale (a screen of another density, a scale changed while the window shows) Qt makes
// the backing store anew, but only if it was scaled before, and paints in it only what is marked;
// a control that paints all of itself (the board, the tray, the date) is not: the window would
// show its old pixels stretched, or what the new store's memory held. Before the window paints or
// is shown at a new scale, its store is made at that scale and every control is marked.
void BlackboardWindow::markAllAtNewScale()
{
    const qreal ratio = m_native->devicePixelRatio();
    if (ratio == m_markedRatio)
        return;
    m_markedRatio = ratio;
    if (QBackingStore *store = backingStore())
        store->resize(size());
    update();
    for (QWidget *control : findChildren<QWidget *>())
        control->update();
}

void BlackboardWindow::Unload()
{
    close();
}

void BlackboardWindow::PopupMenu(const PopupPlace &at)
{
    // At the click that asked for it, not the pointer: after touch or a pen it may be stale.
    if (at.clickTime)
        m_menu->openingClick(at.global, *at.clickTime);
    m_menu->popup(at.global);
}

void BlackboardWindow::setChalkVisible(int index, bool visible)
{
    if (index < 0 || index >= kChalkCount)
        return;
    setTrayPictureVisible(m_chalks[index], visible);
}

void BlackboardWindow::setEraserVisible(bool visible)
{
    setTrayPictureVisible(m_eraser, visible);
}

void BlackboardWindow::setTrayPictureVisible(TrayImage *picture, bool visible)
{
    if (picture->isHidden() == !visible)
        return;
    // Leaving the tray with the focus, it passes the focus on to a picture that says what is in
    // hand as the focus arrives.
    m_focusSaysInHand = m_focusSaysInHand || (!visible && picture->hasFocus());
    picture->setVisible(visible);
}

void BlackboardWindow::setInHand(InHand held)
{
    // What is in hand is said as it changes, and told in the descriptions of the board, the tray
    // and each picture on it, read as focus arrives: a picture that takes the focus from one just
    // picked says it.
    if (held == m_inHand)
        return;
    m_inHand = held;
    QString holding;
    if (held.tool == InHand::Tool::Eraser)
        holding = m_eraser->name();
    else if (held.tool == InHand::Tool::Chalk && held.chalk >= 0 && held.chalk < kChalkCount)
        holding = m_chalks[held.chalk]->name();
    if (!holding.isEmpty())
        holding += QStringLiteral("を持っています。");
    // Said as it changes, unless a picture that took the focus as one left the tray says it.
    if (!std::exchange(m_focusSaysInHand, false))
        announce(this, holding);
    const accessible::Announce described
        = announcementsExist() ? accessible::Announce::Quietly : accessible::Announce::Yes;
    m_tray->setDescription(m_tray, holding, described);
    m_board->setDescription(m_board, holding, described);
    for (TrayImage *picture : trayPictures(m_tray->inside()))
        picture->setDescription(picture, holding, accessible::Announce::Quietly);
}

QString BlackboardWindow::dateCaption() const
{
    return m_date->caption();
}

void BlackboardWindow::setDateCaption(const QString &caption)
{
    m_date->setCaption(caption);
}

void BlackboardWindow::Cls()
{
    m_board->clear();
}

void BlackboardWindow::setFillColor(Colour colour)
{
    m_fillColour = colour;
}

void BlackboardWindow::Circle(float x, float y, float radius, Colour outline)
{
    constexpr float kPixel = layout::kTwipsPerPixel;
    m_board->circle(x / kPixel, y / kPixel, radius / kPixel, toQRgb(m_fillColour), toQRgb(outline));
}

void BlackboardWindow::setMouseIcon(const PictureRef &picture)
{
    if (picture == m_mouseIcon)
        return;
    m_mouseIcon = picture;
    if (const auto *cursor = dynamic_cast<const QtPicture *>(picture.get()))
        m_board->setCursor(cursor->cursor);
    else
        m_board->unsetCursor();
}
