// The windowing system in a web browser: the program's window is the page's canvas.
#include "system/display.h"
#include "system/system_wasm.h"

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
