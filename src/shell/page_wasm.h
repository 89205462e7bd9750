#pragma once
// What the browser's window glue shares.

class QWidget;

namespace shell {

// From now on the page's screen reader is told of the window's accessible objects
// (screenreader_wasm.cpp).
void mirrorForScreenReaders(QWidget *window);

} // namespace shell
