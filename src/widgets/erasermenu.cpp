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
        const std::optional<OpeningClick> opening = std::exchange(m_openingClick, std::nullopt);
        if (!opening)
            return false;
        const QStyleHints *hints = QGuiApplication::styleHints();
        const quint64 elapsed = mouse->timestamp() - opening->timestamp;
        const QPoint moved = mouse->globalPosition().toPoint() - opening->global;
        // Measured as Qt measures a double click: on each axis.
        const int distance = hints->mouseDoubleClickDistance();
        if (mouse->timestamp() < opening->timestamp || elapsed > quint64(hints->mouseDoubleClickInterval())
            || qAbs(moved.x()) > distance || qAbs(moved.y()) > distance)
            return false;
        m_openingClick = opening; // a double click's press and its DblClick come as a pair
        m_swallowRelease = true;
        return true;
    }
    case QEvent::MouseButtonRelease:
        return std::exchange(m_swallowRelease, false);
    case QEvent::Hide:
        m_openingClick.reset();
        m_swallowRelease = false;
        return false;
    default:
        return false;
    }
}
