// The windowing system in a web browser: the program's window is the page's canvas.
#include "system/display.h"
#include "system/system_wasm.h"

#include <cmath>
#include <emscripten/val.h>

namespace os {

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

} // namespace os
