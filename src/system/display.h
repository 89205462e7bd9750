#pragma once
// What the program asks of the windowing system: the display platform where there is a choice,
// the line that says there is no display, and what the program's window needs of the system once
// it exists and before it goes (what surrounds the window is src/shell/'s). One file per system
// implements it (display_posix.cpp, display_windows.cpp, display_wasm.cpp).

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace os {

// Before the application object exists: picks the display platform where the system offers a
// choice (XWayland on a Wayland desktop), and its scale where the display gives one (the page
// around the program in a browser).
void choosePlatform();
// When Qt could not start: the line that says the display is missing, or nothing when that is
// not the reason. qtMessages are what Qt said while it tried.
std::optional<QString> noDisplayLine(const QStringList &qtMessages);

// Once the window exists, given its native handle: on Windows a pen held still on the board is
// not turned into a right click (press and hold), which here would rub out where a teacher paused.
void prepareWindow(std::uintptr_t nativeWindow);
// Before that window goes: undoes what prepareWindow did to it.
void releaseWindow(std::uintptr_t nativeWindow);

// Whether the program's window is all of the screen it is shown on, placed at its corner without
// a frame of the system's: in a web browser the screen is a canvas on the page, sized to the
// window.
bool windowIsScreen();

} // namespace os
