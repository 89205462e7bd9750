#pragma once
// What the web browser's system files share: the page the program runs in.

#include <QString>

#include <emscripten/val.h>
#include <string>
#include <utility>

namespace os {

// The page's function of that name, called with the arguments, where the page has one.
template <typename... Arguments> void callPage(const char *name, Arguments &&...arguments)
{
    const emscripten::val function = emscripten::val::module_property(name);
    if (function.typeOf().as<std::string>() == "function")
        function(std::forward<Arguments>(arguments)...);
}

// The page's zavEnded(line): the program has ended, with the line that says why, or an empty
// one when the user ended it. The page says so, with a way to start again.
void tellPage(const QString &line);
// Qt's scale for the board at the page's scale (the page's zavScale, or what it gives zavRefit):
// 0 when that is no scale the page gives.
double qtScale(double pageScale);

} // namespace os
