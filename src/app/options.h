#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line: --scale N for a larger window (a projector, a classroom panel), --help and
// --version. Qt's own options (-platform, -style ...) are left to Qt; anything else is refused.
struct Options
{
    std::optional<double> scale; // 1 to 4 in steps of 0.25
    bool help = false;
    bool version = false;
    QStringList refused; // one line for each argument that cannot be used; a bad scale shows at 1
};

Options parseOptions(const QStringList &arguments); // without the program's name

// The one rule for a scale factor, from --scale or from the environment: 1 to 4 in steps of 0.25.
// The line that refuses it, naming it as `given` (as the user wrote it), or nothing when it is one.
std::optional<QString> scaleRefusal(const QString &given, const QString &factor);

// QT_SCALE_FACTOR and each QT_SCREEN_SCALE_FACTORS entry held to that rule: a variable with a
// factor that cannot be used is set aside, and the window is shown at 1. One line each.
QStringList settleScaleEnvironment();

QString helpText();
