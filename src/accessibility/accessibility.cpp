#include "accessibility/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QRegularExpression>
#include <QWidget>

namespace {

// The name and description the control keeps, or else the widget's own.
QString describe(const QAccessibleWidget &iface, const accessible::Control *control, QAccessible::Text t)
{
    if (t == QAccessible::Name && !control->name().isEmpty())
        return control->name();
    if (t == QAccessible::Description && !control->description().isEmpty())
        return control->description();
    return iface.QAccessibleWidget::text(t);
}

// A control with nothing more to it than its role, name and description: the window, the board.
class ControlAccessible final : public QAccessibleWidget
{
public:
    ControlAccessible(QWidget *widget, accessible::Control *control, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
        , m_control(control)
    {}
    QString text(QAccessible::Text t) const override { return describe(*this, m_control, t); }

private:
    accessible::Control *m_control;
};

// A picture on the tray is a button: a stick's press takes up that chalk, the eraser's opens the
// menu. The one in hand is off the tray; what is in hand is in every picture's description.
class PictureAccessible final : public QAccessibleWidget
{
public:
    PictureAccessible(QWidget *widget, accessible::Picture *picture)
        : QAccessibleWidget(widget, picture->opensMenu() ? QAccessible::ButtonMenu : QAccessible::PushButton)
        , m_picture(picture)
    {}

    QWidget *image() const { return widget(); }
    QString text(QAccessible::Text t) const override { return describe(*this, m_picture, t); }

    // The tray, past the widget that clips the pictures to its border.
    QAccessibleInterface *parent() const override
    {
        QWidget *inside = image()->parentWidget();
        return QAccessible::queryAccessibleInterface(inside && inside->parentWidget() ? inside->parentWidget()
                                                                                      : inside);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const bool onTray = image()->isVisible();
        // Off the tray it takes no clicks: not showing, not focusable.
        state.invisible = !onTray;
        state.offscreen = !onTray;
        state.focusable = onTray;
        state.focused = onTray && image()->hasFocus();
        state.hasPopup = m_picture->opensMenu();
        return state;
    }

    QStringList actionNames() const override
    {
        if (!image()->isVisible())
            return {};
        if (m_picture->opensMenu())
            return {showMenuAction(), pressAction()};
        return {pressAction()};
    }

    // A picture off the tray ignores it, as it ignores clicks.
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() || actionName == showMenuAction())
            m_picture->activate();
    }

private:
    accessible::Picture *m_picture;
};

// Static text with a text interface, read as one line (the date without its line breaks).
class TextLineAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    TextLineAccessible(QWidget *widget, accessible::TextLine *text)
        : QAccessibleWidget(widget, QAccessible::StaticText)
        , m_text(text)
    {}

    QString line() const { return m_text->oneLine(); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? line() : QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Read-only text with no selection and no caret.
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        const QString all = line();
        startOffset = qBound(0, startOffset, int(all.size()));
        endOffset = qBound(startOffset, endOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(line().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    accessible::TextLine *m_text;
};

// A group whose members are its own children: a widget between them (the one that clips the
// tray's pictures to its border) is left out.
class GroupAccessible final : public QAccessibleWidget
{
public:
    GroupAccessible(QWidget *widget, accessible::Group *group)
        : QAccessibleWidget(widget, QAccessible::Grouping)
        , m_group(group)
    {}

    QList<QWidget *> pictures() const { return m_group->members(); }
    QString text(QAccessible::Text t) const override { return describe(*this, m_group, t); }
    int childCount() const override { return int(pictures().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> all = pictures();
        return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(pictures().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (QWidget *picture : pictures()) {
            if (picture->isVisible() && QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()).contains(x, y))
                return QAccessible::queryAccessibleInterface(picture);
        }
        return nullptr;
    }

private:
    accessible::Group *m_group;
};

// An item of a popup menu, read as its caption without its access key: "全部消す(&A)" is
// 全部消す. The key is a key binding of its own, with the item's shortcut, as a screen reader
// announces them; pressing chooses the item, as a click does.
class MenuItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    MenuItemAccessible(QMenu *menu, QAction *action)
        : m_menu(menu)
        , m_action(action)
    {}

    bool isValid() const override { return m_menu && m_action; }
    QObject *object() const override { return m_action; }
    QWindow *window() const override { return m_menu->windowHandle(); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_menu.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override
    {
        return m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QString(m_action->text()).remove(kAccessKey).remove(QLatin1Char('&'));
        if (t == QAccessible::Accelerator)
            return m_action->shortcut().toString(QKeySequence::NativeText);
        return {};
    }

    QRect rect() const override
    {
        const QRect item = m_menu->actionGeometry(m_action);
        return item.translated(m_menu->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_menu->isVisible() || !m_action->isVisible();
        state.focusable = true;
        state.focused = m_menu->activeAction() == m_action;
        state.disabled = !m_action->isEnabled();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && m_action->isEnabled()) {
            m_menu->hide();
            m_action->trigger();
        }
    }
    // Access key, then shortcut: "A;Ctrl+A".
    QStringList keyBindingsForAction(const QString &) const override
    {
        const QRegularExpressionMatch key = kAccessKey.match(m_action->text());
        return {key.hasMatch() ? key.captured(1) : QString(), text(QAccessible::Accelerator)};
    }

private:
    static inline const QRegularExpression kAccessKey {QStringLiteral("\\(&(.)\\)")};
    QPointer<QMenu> m_menu;
    QPointer<QAction> m_action;
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (auto *action = qobject_cast<QAction *>(object)) {
        for (QObject *shown : action->associatedObjects()) {
            if (auto *menu = qobject_cast<QMenu *>(shown))
                return new MenuItemAccessible(menu, action);
        }
        return nullptr;
    }
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (auto *picture = dynamic_cast<accessible::Picture *>(widget))
        return new PictureAccessible(widget, picture);
    if (auto *canvas = dynamic_cast<accessible::Canvas *>(widget))
        return new ControlAccessible(widget, canvas, QAccessible::Canvas);
    if (auto *text = dynamic_cast<accessible::TextLine *>(widget))
        return new TextLineAccessible(widget, text);
    if (auto *group = dynamic_cast<accessible::Group *>(widget))
        return new GroupAccessible(widget, group);
    if (auto *frame = dynamic_cast<accessible::Frame *>(widget))
        return new ControlAccessible(widget, frame, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

bool keyboardFocusMark(bool before, Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return before;
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

void drawFocusMark(QPainter &painter, const QRect &area)
{
    // White and black dots, so the mark shows on the green board and on the grey tray alike.
    const QRect r = area.adjusted(0, 0, -1, -1);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(r);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(r);
    painter.restore();
}

void accessible::Control::setDescription(QWidget *self, const QString &description, Announce announce)
{
    if (description == m_description)
        return;
    m_description = description;
    if (announce == Announce::Yes)
        announceDescriptionChange(self);
}

bool canAnnounce(const QWidget *widget)
{
    // Nobody perceives what changes while the window is being built.
    return QAccessible::isActive() && widget->window()->isVisible();
}

void announceNameChange(QWidget *widget)
{
    if (!canAnnounce(widget))
        return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void announceDescriptionChange(QWidget *widget)
{
    if (!canAnnounce(widget))
        return;
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
