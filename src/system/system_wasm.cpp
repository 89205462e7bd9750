// The system interface in a web browser (WebAssembly): files come from the page, which fetches
// them into an emulated file system before the program starts (system_posix_shared.cpp reads them).
#include "system/system_wasm.h"

#include "system/system.h"

#include <QCoreApplication>
#include <QFile>

#include <emscripten.h>
#include <emscripten/val.h>

namespace os {

void tellPage(const QString &line)
{
    callPage("zavEnded", line.toStdString());
}

void guardLoading()
{}

// The folder of the program's name as the page gives it (its argv[0]), where the page puts the
// files it fetched. Only files live in the page's file system, not the program itself, so its
// name is taken as given rather than looked up.
QByteArray programDirectory()
{
    const QString program = QCoreApplication::arguments().value(0);
    const qsizetype slash = program.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArrayLiteral("/") : QFile::encodeName(program.left(slash));
}

void fatalLine(const QString &line)
{
    reportLine(line);
    // The page says the board has stopped, and why, with a way to start it again.
    tellPage(line);
    emscripten_force_exit(1);
    __builtin_unreachable();
}

} // namespace os
