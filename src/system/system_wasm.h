#pragma once
// What the web browser's system files share: the page the program runs in.

#include <QString>

namespace os {

// The page's zavEnded(line): the program has ended, with the line that says why, or an empty
// one when the user ended it. The page says so, with a way to start again.
void tellPage(const QString &line);

} // namespace os
