// The windowing system on Linux and other POSIX systems: X11, or Wayland through XWayland.
#include "system/display.h"

namespace os {

// On a Wayland desktop the window goes through XWayland when there is one. Natively, on a
// compositor that leaves decorations to the program (GNOME, weston), Qt draws its own title bar
// with minimise and maximise buttons that a fixed-size window cannot honour; Wayland also has no
// global positions, so the popup could not open where it was asked for. Through XWayland the
// desktop's own frame follows the window's fixed size and shows only its close button. A
// platform the user names in QT_QPA_PLATFORM is left as it is.
void choosePlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

std::optional<QString> noDisplayLine(const QStringList &qtMessages)
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool noDisplay = !qtMessages.filter(QStringLiteral("could not connect to display")).isEmpty()
        || (display.isEmpty() && (platform.isEmpty() || platform.startsWith(QLatin1String("xcb"))));
    if (!noDisplay)
        return std::nullopt;
    return QStringLiteral("画面に接続できないため起動できません（DISPLAY=%1）。")
        .arg(display.isEmpty() ? QStringLiteral("未設定") : display);
}

void prepareWindow(std::uintptr_t)
{}

void releaseWindow(std::uintptr_t)
{}

bool windowIsScreen()
{
    return false;
}

} // namespace os
