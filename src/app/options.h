#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line: --scale N for a larger window (a projector, a classroom panel), --help and
// --version. Anything else is left to Qt, which takes its own (-platform, -style ...).
struct Options
{
    std::optional<double> scale; // 1 to 4 in steps of 0.25
    bool help = false;
    bool version = false;
    QStringList refused; // one line for each option that cannot be used; the window is shown at 1
};

Options parseOptions(const QStringList &arguments); // without the program's name

QString helpText();
