#include "widgets/erasermenu.h"

#include <QAction>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>

#include <utility>

EraserMenu::EraserMenu(QWidget *window, const std::function<void(void (FormEvents::*)())> &raise)
    : QMenu(QStringLiteral("menu"), window)
{
    setObjectName(QStringLiteral("menu"));
    struct Item
    {
        const char *name;
        QString caption;
        QKeySequence shortcut;
        void (FormEvents::*handler)();
    };
    const Item items[] = {
        {"AllClear", QStringLiteral("全部消す(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A), &FormEvents::AllClear_Click},
        {"Date", QStringLiteral("日付を書き換える"), QKeySequence(Qt::CTRL | Qt::Key_D), &FormEvents::Date_Click},
        {"ExitEnd", QStringLiteral("終了(&X)"), QKeySequence(Qt::CTRL | Qt::Key_X), &FormEvents::ExitEnd_Click},
    };
    for (const Item &item : items) {
        auto *action = new QAction(item.caption, window);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.shortcut);
        // While the popup is open it holds the keyboard: the shortcut acts wherever the focus is.
        action->setShortcutContext(Qt::ApplicationShortcut);
        // A click has closed the menu already; a shortcut while it is open closes it here.
        connect(action, &QAction::triggered, this, [this, raise, handler = item.handler] {
            close();
            raise(handler);
        });
        addAction(action);
        // Also on the window, so the shortcuts act while the popup is closed.
        window->addAction(action);
    }
}

bool EraserMenu::event(QEvent *event)
{
    return guard(event) || QMenu::event(event);
}

// Events the menu takes before QMenu sees them. Returns true for those it takes.
bool EraserMenu::guard(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (secondClickOfOpening(*mouse)) {
            m_swallowRelease = true;
            return true;
        }
        // A press on an item: chosen when released on it.
        QAction *item = actionAt(mouse->position().toPoint());
        if (!item || !item->isEnabled() || item->isSeparator())
            return false;
        m_pressed = item;
        setActiveAction(item);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (std::exchange(m_swallowRelease, false))
            return true;
        QAction *pressed = std::exchange(m_pressed, nullptr);
        if (!pressed)
            return false;
        if (actionAt(static_cast<QMouseEvent *>(event)->position().toPoint()) == pressed)
            pressed->trigger();
        return true;
    }
    case QEvent::Hide:
        m_openingClick.reset();
        m_swallowRelease = false;
        m_pressed = nullptr;
        return false;
    default:
        return false;
    }
}

// Whether a press is the second click of the double click that opened the menu: near it and
// soon after it, measured as Qt measures a double click (on each axis, press to press). The
// first press in the menu that is not ends the watch.
bool EraserMenu::secondClickOfOpening(const QMouseEvent &mouse)
{
    const std::optional<OpeningClick> opening = std::exchange(m_openingClick, std::nullopt);
    if (!opening)
        return false;
    const QStyleHints *hints = QGuiApplication::styleHints();
    const quint64 elapsed = mouse.timestamp() - opening->timestamp;
    const QPoint moved = mouse.globalPosition().toPoint() - opening->global;
    const int distance = hints->mouseDoubleClickDistance();
    if (mouse.timestamp() < opening->timestamp || elapsed > quint64(hints->mouseDoubleClickInterval())
        || qAbs(moved.x()) > distance || qAbs(moved.y()) > distance)
        return false;
    m_openingClick = opening; // a double click's press and its DblClick come as a pair
    return true;
}
