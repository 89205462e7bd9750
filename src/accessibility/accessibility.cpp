#include "accessibility/accessibility.h"

#include "widgets/boardwidget.h"
#include "widgets/datestrip.h"
#include "widgets/trayimage.h"
#include "widgets/traypanel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPen>

namespace {

// A stick is radio-like: checked while it is the chalk in hand, which is while it is off the
// tray. The eraser is a button that opens the menu. Either way the default action is the click.
class TrayImageAccessible final : public QAccessibleWidget
{
public:
    explicit TrayImageAccessible(TrayImage *image)
        : QAccessibleWidget(image, image->kind() == TrayImage::Kind::Eraser ? QAccessible::ButtonMenu
                                                                            : QAccessible::RadioButton)
    {
    }

    TrayImage *image() const { return static_cast<TrayImage *>(widget()); }

    // The tray, past the widget that clips the pictures to its border.
    QAccessibleInterface *parent() const override
    {
        QWidget *inside = image()->parentWidget();
        return QAccessible::queryAccessibleInterface(inside && inside->parentWidget() ? inside->parentWidget() : inside);
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
        if (image()->kind() == TrayImage::Kind::Chalk) {
            state.checkable = true;
            state.checked = image()->isHidden();
        } else {
            state.hasPopup = true;
        }
        return state;
    }

    QStringList actionNames() const override
    {
        if (!image()->isVisible())
            return {};
        if (image()->kind() == TrayImage::Kind::Eraser)
            return {showMenuAction(), pressAction()};
        return {pressAction()};
    }

    void doAction(const QString &actionName) override
    {
        if (image()->isVisible() && (actionName == pressAction() || actionName == showMenuAction()))
            image()->activate();
    }
};

// The date strip: one line of text, the date without the line breaks it is written with.
class DateStripAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit DateStripAccessible(DateStrip *strip) : QAccessibleWidget(strip, QAccessible::StaticText) {}

    QString line() const { return DateStrip::asOneLine(static_cast<DateStrip *>(widget())->caption()); }

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
};

// The tray: a group of the pictures on it. The widget between them that clips the pictures to
// the tray's border is left out, so the pictures are the group's own children.
class TrayAccessible final : public QAccessibleWidget
{
public:
    explicit TrayAccessible(TrayPanel *tray) : QAccessibleWidget(tray, QAccessible::Grouping) {}

    QList<TrayImage *> pictures() const { return trayPictures(static_cast<TrayPanel *>(widget())->inside()); }
    int childCount() const override { return int(pictures().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<TrayImage *> all = pictures();
        return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(pictures().indexOf(dynamic_cast<TrayImage *>(child->object()))) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (TrayImage *picture : pictures()) {
            if (picture->isVisible() && QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()).contains(x, y))
                return QAccessible::queryAccessibleInterface(picture);
        }
        return nullptr;
    }
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (auto *image = dynamic_cast<TrayImage *>(object))
        return new TrayImageAccessible(image);
    // The board 黒板: a canvas, named and described by its widget.
    if (auto *board = dynamic_cast<BoardWidget *>(object))
        return new QAccessibleWidget(board, QAccessible::Canvas);
    if (auto *strip = dynamic_cast<DateStrip *>(object))
        return new DateStripAccessible(strip);
    if (auto *tray = dynamic_cast<TrayPanel *>(object))
        return new TrayAccessible(tray);
    // The program's window: a frame, not a nameless filler.
    if (object && object->isWidgetType() && object->metaObject() == &QWidget::staticMetaObject) {
        auto *widget = static_cast<QWidget *>(object);
        if (widget->windowType() == Qt::Window)
            return new QAccessibleWidget(widget, QAccessible::Window);
    }
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

void announceStateChange(QWidget *widget)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    changed.invisible = true;
    changed.focusable = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

void announceNameChange(QWidget *widget)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
