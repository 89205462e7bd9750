// The windowing system in a web browser: the program's window is the page's canvas.
#include "system/display.h"
#include "system/system_wasm.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <private/qhighdpiscaling_p.h>

#include <cmath>
#include <emscripten/bind.h>
#include <emscripten/val.h>

namespace {

QPointer<QWidget> shownWindow;
// Qt's scale as the program started: the screen's own factor multiplies it.
qreal startScale = 1;

// Qt's scale for the board at the page's scale: the page gives it in the screen's own pixels a
// board pixel takes (1 to 4 CSS pixels' worth, in quarter steps), and Qt's canvas already counts
// the browser's device pixel ratio (2.625 on a common phone): Qt's own factor is what remains,
// below 1 where a CSS pixel is several of the screen's.
double qtScale(double pageScale)
{
    const double ratio = emscripten::val::global("window")["devicePixelRatio"].as<double>();
    if (!std::isfinite(pageScale) || pageScale < 1 || !std::isfinite(ratio) || ratio <= 0 || pageScale > 4 * ratio)
        return 0;
    return pageScale / ratio;
}

// The page's zavRefit(scale): the browser's window has changed size, and the page has placed and
// sized the canvas anew for the board at that scale. Qt's screen follows the canvas, and at a new
// scale the window is shown at it, at the device's pixel density. The board's pixels are
// stretched from the board's own image, so nothing written is lost or moved.
void refit(double pageScale)
{
    QWindow *window = shownWindow ? shownWindow->windowHandle() : nullptr;
    const double scale = qtScale(pageScale);
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

EMSCRIPTEN_BINDINGS(zavDisplay)
{
    emscripten::function("zavRefit", &refit);
}

namespace os {

// Qt's scale from the page's zavScale, before Qt starts (the page passes no --scale: its scale may
// be below 1 in Qt's terms, which the command line refuses).
void choosePlatform()
{
    const emscripten::val pageScale = emscripten::val::module_property("zavScale");
    if (pageScale.typeOf().as<std::string>() != "number")
        return;
    if (const double scale = qtScale(pageScale.as<double>()); scale > 0)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale, 'g', 17));
}

// Qt fails to start in a browser without WebGL; the page checks for it before it loads the
// program, and says so in its own words.
std::optional<QString> noDisplayLine(const QStringList &)
{
    return std::nullopt;
}

void prepareWindow(std::uintptr_t)
{}

void releaseWindow(std::uintptr_t)
{}

bool windowIsScreen()
{
    return true;
}

void windowShown(QWidget *window)
{
    shownWindow = window;
    startScale = QHighDpiScaling::factor(window->screen());
    mirrorForScreenReaders(window);
    tellPageShown();
}

void windowClosed()
{
    // The program's loop never returns to the page, which stays: it says the board has ended,
    // with a way to start it again.
    tellPage(QString());
}

} // namespace os
