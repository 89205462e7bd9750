// What a screen reader on the page is told: Qt 6.4 for WebAssembly has no bridge of its own, so the
// window's accessible objects are mirrored as elements inside the canvas (a canvas's content is
// not drawn, but it is what assistive technology reads of it), each with its ARIA role, name and
// description. The element of the object with Qt's focus takes the page's focus, so a screen
// reader says what Tab reached; keys pressed there reach Qt through the canvas as before. A
// screen reader's click on an element is the object's press action: exactly what a click on that
// picture or menu item does. A description that changes while its object has the focus (the
// chalk in hand after a pick) is told through a live region.
#include "shell/page_wasm.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <string>

namespace {

using emscripten::val;

struct Element
{
    const char *tag;
    const char *role; // empty where the tag says it
};

Element elementFor(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
        return {"button", ""};
    case QAccessible::PopupMenu:
        return {"div", "menu"};
    case QAccessible::MenuItem:
        return {"div", "menuitem"};
    case QAccessible::StaticText:
        return {"p", ""};
    case QAccessible::Canvas:
    case QAccessible::Graphic:
        return {"div", "img"};
    default:
        return {"div", "group"};
    }
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

class Mirror
{
public:
    static Mirror &instance()
    {
        static Mirror mirror;
        return mirror;
    }

    void attach(QWidget *window)
    {
        m_window = window;
        const val container = val::module_property("qtContainerElements")[0];
        m_canvas
            = container.isUndefined() ? val::undefined() : container.call<val>("querySelector", std::string("canvas"));
        if (m_canvas.isNull() || m_canvas.isUndefined())
            return;
        const val document = val::global("document");
        m_root = document.call<val>("createElement", std::string("div"));
        m_canvas.call<void>("appendChild", m_root);
        m_live = document.call<val>("createElement", std::string("div"));
        m_live.call<void>("setAttribute", std::string("aria-live"), std::string("polite"));
        m_canvas.call<void>("appendChild", m_live);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(&Mirror::heard);
        schedule();
    }

    // A click on an element, by a screen reader: the press action of the object it mirrors.
    void activate(unsigned id)
    {
        QAccessibleInterface *object = QAccessible::accessibleInterface(QAccessible::Id(id));
        if (!object || !object->isValid() || !m_mirrored.contains(QAccessible::Id(id)))
            return;
        if (QAccessibleActionInterface *actions = object->actionInterface())
            if (actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
                actions->doAction(QAccessibleActionInterface::pressAction());
    }

private:
    static void heard(QAccessibleEvent *event)
    {
        Mirror &mirror = instance();
        if (event->type() == QAccessible::DescriptionChanged || event->type() == QAccessible::NameChanged) {
            if (QAccessibleInterface *object = event->accessibleInterface())
                if (object->state().focused)
                    mirror.m_toldChange = QAccessible::uniqueId(object);
        }
        mirror.schedule();
    }

    // The tree is read again once the event that changed it is done: widgets tell of changes
    // while they are half made or half gone.
    void schedule()
    {
        if (m_pending)
            return;
        m_pending = true;
        QTimer::singleShot(0, [this] {
            m_pending = false;
            rebuild();
        });
    }

    void rebuild()
    {
        if (!m_window || m_root.isUndefined())
            return;
        const val document = val::global("document");
        const val active = document["activeElement"];
        const bool pageFocusHere = !active.isNull() && m_canvas.call<bool>("contains", active);
        m_mirrored.clear();
        m_focused = val::undefined();
        m_focusedId = 0;
        m_root.call<void>("replaceChildren");
        add(m_root, QAccessible::queryAccessibleInterface(m_window));
        if (QWidget *popup = QApplication::activePopupWidget())
            add(m_root, QAccessible::queryAccessibleInterface(popup));
        if (pageFocusHere && !m_focused.isUndefined())
            m_focused.call<void>("focus");
        // A change told while the focus stays: said once through the live region.
        if (m_toldChange != 0 && m_toldChange == m_focusedId && m_focusedId == m_lastFocusedId) {
            QAccessibleInterface *object = QAccessible::accessibleInterface(m_toldChange);
            if (object && object->isValid())
                m_live.set("textContent", utf8(object->text(QAccessible::Description)));
        }
        m_toldChange = 0;
        m_lastFocusedId = m_focusedId;
    }

    void add(const val &parent, QAccessibleInterface *object)
    {
        if (!object || !object->isValid() || object->state().invisible)
            return;
        const QAccessible::Id id = QAccessible::uniqueId(object);
        const Element kind = elementFor(object->role());
        const val document = val::global("document");
        val element = document.call<val>("createElement", std::string(kind.tag));
        const std::string key = std::to_string(id);
        element.set("id", "zav-" + key);
        element["dataset"].set("zav", key);
        if (*kind.role)
            element.call<void>("setAttribute", std::string("role"), std::string(kind.role));
        const QString name = object->text(QAccessible::Name);
        if (object->role() == QAccessible::StaticText)
            element.set("textContent", utf8(name));
        else if (!name.isEmpty())
            element.call<void>("setAttribute", std::string("aria-label"), utf8(name));
        const QString description = object->text(QAccessible::Description);
        if (!description.isEmpty()) {
            val told = document.call<val>("createElement", std::string("span"));
            told.set("id", "zav-d-" + key);
            told.set("hidden", true);
            told.set("textContent", utf8(description));
            parent.call<void>("appendChild", told);
            element.call<void>("setAttribute", std::string("aria-describedby"), "zav-d-" + key);
        }
        const QAccessible::State state = object->state();
        if (state.focusable || object->role() == QAccessible::MenuItem)
            element.set("tabIndex", -1);
        if (state.focused) {
            // The page gives the focus back here when the canvas itself takes it (a click).
            element.call<void>("setAttribute", std::string("data-zav-focus"), std::string(""));
            m_focused = element;
            m_focusedId = id;
        }
        parent.call<void>("appendChild", element);
        m_mirrored.insert(id);
        for (int i = 0; i < object->childCount(); ++i)
            add(element, object->child(i));
    }

    QPointer<QWidget> m_window;
    val m_canvas = val::undefined();
    val m_root = val::undefined();
    val m_live = val::undefined();
    val m_focused = val::undefined();
    QAccessible::Id m_focusedId = 0;
    QAccessible::Id m_lastFocusedId = 0;
    QAccessible::Id m_toldChange = 0;
    QSet<QAccessible::Id> m_mirrored;
    bool m_pending = false;
};

void activate(unsigned id)
{
    Mirror::instance().activate(id);
}

} // namespace

EMSCRIPTEN_BINDINGS(zavScreenReader)
{
    emscripten::function("zavActivate", &activate);
}

namespace shell {

void mirrorForScreenReaders(QWidget *window)
{
    Mirror::instance().attach(window);
}

} // namespace shell
