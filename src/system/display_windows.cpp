// The windowing system on Windows.
#include "system/display.h"

#include <windows.h>

namespace os {

namespace {
// Read by the pen service from the window. Set only while the window exists: the property is
// removed before the window is destroyed, as Windows asks of every property a program sets.
constexpr wchar_t kPenServiceProperty[] = L"MicrosoftTabletPenServiceProperty";
} // namespace

void choosePlatform()
{}

std::optional<QString> noDisplayLine(const QStringList &)
{
    return std::nullopt;
}

void prepareWindow(std::uintptr_t nativeWindow)
{
    // The documented opt-out: press-and-hold is turned off; taps, flicks and the pen's feedback
    // stay as the user set them.
    constexpr std::uintptr_t kDisablePressAndHold = 0x00000001; // TABLET_DISABLE_PRESSANDHOLD
    SetPropW(reinterpret_cast<HWND>(nativeWindow), kPenServiceProperty, reinterpret_cast<HANDLE>(kDisablePressAndHold));
}

void releaseWindow(std::uintptr_t nativeWindow)
{
    RemovePropW(reinterpret_cast<HWND>(nativeWindow), kPenServiceProperty);
}

bool windowIsScreen()
{
    return false;
}

} // namespace os
