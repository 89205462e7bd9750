// The page around the program's window in a web browser.
#include "shell/page_wasm.h"

#include "shell/shell.h"
#include "system/system_wasm.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <private/qhighdpiscaling_p.h>

#include <emscripten/bind.h>
#include <emscripten/val.h>

namespace {

QPointer<QWidget> shownWindow;
// Qt's scale as the program started: the screen's own factor multiplies it.
qreal startScale = 1;

// The page's zavRefit(scale): the browser's window has changed size, and the page has placed and
// sized the canvas anew for the board at that scale. Qt's screen follows the canvas, and at a new
// scale the window is shown at it, at the device's pixel density. The board's pixels are
// stretched from the board's own image, so nothing written is lost or moved.
void refit(double pageScale)
{
    QWindow *window = shownWindow ? shownWindow->windowHandle() : nullptr;
    const double scale = os::qtScale(pageScale);
    if (!window || scale == 0)
        return;
    // Now rather than when the browser next reports it: Qt's own handler of the browser's resize
    // ran before the page moved the canvas.
    emscripten::val::module_property("qtResizeAllScreens")(emscripten::val::undefined());
    if (qFuzzyCompare(QHighDpiScaling::factor(window->screen()), qreal(scale)))
        return;
    // The screen's factor multiplies the scale the program started at; it takes the screen as
    // it is now.
    QHighDpiScaling::setScreenFactor(window->screen(), scale / startScale);
    // An open menu would stay where and as large as it was: it closes, as a click beside it does.
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    window->setGeometry(QRect(window->screen()->geometry().topLeft(), shownWindow->size()));
    // Painted again at the new scale: the window marks all of itself for it.
    window->requestUpdate();
}

} // namespace

EMSCRIPTEN_BINDINGS(zavPage)
{
    emscripten::function("zavRefit", &refit);
}

namespace shell {

void windowShown(QWidget *window)
{
    shownWindow = window;
    startScale = QHighDpiScaling::factor(window->screen());
    mirrorForScreenReaders(window);
    // The page shows the window in place of its progress bar.
    os::callPage("zavShown");
}

void windowClosed()
{
    // The program's loop never returns to the page, which stays: it says the board has ended,
    // with a way to start it again.
    os::tellPage(QString());
}

} // namespace shell
