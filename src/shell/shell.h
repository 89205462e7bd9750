#pragma once
// What surrounds the program's window where the system does not: in a web browser, the page. It
// refits the window when the page changes size, tells the page when the window shows and ends,
// and gives a screen reader on the page the window's accessible objects, which Qt 6.4 for
// WebAssembly does not. On a desktop the system does all of this, and there is nothing to do:
// shell_desktop.cpp and page_wasm.cpp implement it.

class QWidget;

namespace shell {

// Once the program's window is shown.
void windowShown(QWidget *window);
// Once the program's window has closed. Where the program's loop ends with it, nothing more is
// needed; in a web browser the page stays, and says the board has ended.
void windowClosed();

} // namespace shell
