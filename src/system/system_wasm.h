#pragma once
// What the web browser's system files share: the page the program runs in.

#include <QString>

class QWidget;

namespace os {

// The page's zavEnded(line): the program has ended, with the line that says why, or an empty
// one when the user ended it. The page says so, with a way to start again.
void tellPage(const QString &line);
// The page's zavShown(): the program's window is shown; the page shows it in place of its
// progress bar.
void tellPageShown();

// From now on the page's screen reader is told of the window's accessible objects
// (screenreader_wasm.cpp).
void mirrorForScreenReaders(QWidget *window);

} // namespace os
