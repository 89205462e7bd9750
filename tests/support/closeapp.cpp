// Asks a program's window to close as Windows' Restart Manager does when an installer must
// replace files the program holds: WM_QUERYENDSESSION, then WM_ENDSESSION, with ENDSESSION_CLOSEAPP.
//   closeapp.exe TITLE     status 0 once the window agreed to end, 1 if it refused, 3 if not found
#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    const HWND window = FindWindowW(nullptr, argv[1]);
    if (!window)
        return 3;
    const LRESULT agreed = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
    SendMessageW(window, WM_ENDSESSION, agreed != 0, ENDSESSION_CLOSEAPP);
    return agreed ? 0 : 1;
}
