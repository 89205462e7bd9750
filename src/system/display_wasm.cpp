// The windowing system in a web browser: the program's window is the page's canvas.
#include "system/display.h"
#include "system/system_wasm.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <private/qguiapplication_p.h>
#include <private/qhighdpiscaling_p.h>

#include <cmath>
#include <emscripten/bind.h>
#include <emscripten/val.h>

namespace {

// The screen's own factor, on top of the one the program started with (--scale).
qreal g_screenFactor = 1;

// The page's zavRefit(scale), once it has sized the canvas for the window at that scale: the
// window is drawn at it from now on, in the same place, crisp at the device's pixel density.
// What the board holds stays, drawn again at the new scale. A scale that breaks --scale's rule
// (1 to 4 in quarter steps) changes nothing.
void refit(double scale)
{
    if (!std::isfinite(scale) || scale < 1 || scale > 4 || std::fmod(scale * 4, 1.0) != 0)
        return;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const qreal startScale = QHighDpiScaling::factor(screen) / g_screenFactor;
    if (qFuzzyCompare(startScale * g_screenFactor, scale))
        return;
    // A popup placed for the old scale would stand where nothing is.
    QGuiApplicationPrivate::instance()->closeAllPopups();
    QList<QPair<QWindow *, QRect>> windows;
    for (QWindow *window : QGuiApplication::topLevelWindows())
        if (window->handle())
            windows.append({window, window->geometry()});
    g_screenFactor = scale / startScale;
    QHighDpiScaling::setScreenFactor(screen, g_screenFactor);
    // The canvas's pixels and the screen's size, from the canvas the page has sized.
    emscripten::val::module_property("qtResizeAllScreens")(emscripten::val::undefined());
    for (const auto &[window, geometry] : std::as_const(windows))
        window->setGeometry(geometry);
    for (QWidget *widget : QApplication::topLevelWidgets())
        widget->update();
}

} // namespace

EMSCRIPTEN_BINDINGS(zavDisplay)
{
    emscripten::function("zavRefit", &refit);
}

namespace os {

void choosePlatform()
{}

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
    mirrorForScreenReaders(window);
}

void windowClosed()
{
    // The program's loop never returns to the page, which stays: it says the board has ended,
    // with a way to start it again.
    tellPage(QString());
}

} // namespace os
