#include "app/options.h"

#include <cmath>

namespace {
constexpr double kLargest = 4;
constexpr double kStep = 0.25;

// Qt's own options, taken by QApplication and its platform: with a value, and without.
const QStringList kQtWithValue = {"platform",        "platformpluginpath",
                                  "platformtheme",   "plugin",
                                  "qwindowgeometry", "geometry",
                                  "qwindowtitle",    "title",
                                  "qwindowicon",     "icon",
                                  "session",         "style",
                                  "stylesheet",      "qmljsdebugger",
                                  "display",         "name",
                                  "visual"};
const QStringList kQtAlone = {"reverse", "testability", "qdevel", "qdebug", "widgetcount", "nograb", "dograb"};

// What an argument names without its dashes and any "=value": "-platform" and "--style=x" alike.
QString bare(const QString &argument)
{
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.section(QLatin1Char('='), 0, 0);
}

bool isQtOption(const QString &argument)
{
    return argument.startsWith(QLatin1Char('-'))
        && (kQtWithValue.contains(bare(argument)) || kQtAlone.contains(bare(argument)));
}

// An argument that is an option of its own, not a value: "--help", "-h"; "-1" is a value.
bool isOption(const QString &argument)
{
    bool number = false;
    argument.toDouble(&number);
    return argument.startsWith(QLatin1Char('-')) && argument.size() > 1 && !number;
}
} // namespace

std::optional<QString> scaleRefusal(const QString &given, const QString &factor)
{
    bool number = false;
    const double scale = factor.trimmed().toDouble(&number);
    if (!number || !std::isfinite(scale))
        return QStringLiteral(
                   "%1 は倍率ではありません。1 から 4 までを 0.25 刻みで指定してください。倍率 1 で表示します。")
            .arg(given);
    // Below 1, Qt 6.4 on X11 draws the tray and the date strip black and chalk away from the pointer.
    if (!(scale >= 1))
        return QStringLiteral("%1 は 1 より小さいため使えません。倍率 1 で表示します。").arg(given);
    if (scale > kLargest)
        return QStringLiteral("%1 は 4 より大きいため使えません。倍率 1 で表示します。").arg(given);
    if (std::fmod(scale, kStep) != 0)
        return QStringLiteral("%1 は 0.25 刻みではないため使えません（1.25、1.5、2 など）。倍率 1 で表示します。")
            .arg(given);
    return std::nullopt;
}

Options parseOptions(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasNext = i + 1 < arguments.size();
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--version")) {
            options.version = true;
        } else if (argument == QLatin1String("--scale") || argument.startsWith(QLatin1String("--scale="))) {
            // "--scale --help" is a scale without its factor, then a request for help.
            const bool joined = argument.contains(QLatin1Char('='));
            const bool takesNext = !joined && hasNext && !isOption(arguments[i + 1]);
            const QString factor = joined ? argument.section(QLatin1Char('='), 1)
                : takesNext               ? arguments[++i]
                                          : QString();
            const std::optional<QString> line
                = scaleRefusal(QStringLiteral("--scale %1").arg(factor).trimmed(), factor);
            if (line)
                options.refused << *line;
            options.scale = line ? 1.0 : factor.toDouble();
        } else if (isQtOption(argument)) {
            if (kQtWithValue.contains(bare(argument)) && !argument.contains(QLatin1Char('=')) && hasNext)
                ++i;
        } else {
            options.refused << QStringLiteral("%1 は使えない引数です。--help で使い方が分かります。").arg(argument);
        }
    }
    return options;
}

QStringList settleScaleEnvironment()
{
    QStringList lines;
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    if (!scale.isEmpty()) {
        const QString given = QStringLiteral("QT_SCALE_FACTOR=%1").arg(QString::fromLocal8Bit(scale));
        if (const std::optional<QString> line = scaleRefusal(given, QString::fromLocal8Bit(scale))) {
            lines << *line;
            qunsetenv("QT_SCALE_FACTOR");
        }
    }
    // Per screen: "1.5" or "NAME=1.5;NAME=2".
    const QByteArray screens = qgetenv("QT_SCREEN_SCALE_FACTORS");
    for (const QByteArray &entry : screens.split(';')) {
        if (entry.isEmpty())
            continue;
        const QString given = QStringLiteral("QT_SCREEN_SCALE_FACTORS の %1").arg(QString::fromLocal8Bit(entry));
        if (const std::optional<QString> line
            = scaleRefusal(given, QString::fromLocal8Bit(entry.mid(entry.indexOf('=') + 1)))) {
            lines << *line;
            qunsetenv("QT_SCREEN_SCALE_FACTORS");
            break;
        }
    }
    return lines;
}

// Read in a message box's proportional font as well as in a terminal: no columns to line up.
QString helpText()
{
    return QStringLiteral("使い方: zav-blackboard [--scale 倍率]\n"
                          "\n"
                          "学校にある黒板と同じです。左ボタンで書き、右ボタンで消します。\n"
                          "\n"
                          "--scale 倍率\n"
                          "    窓を大きく表示します。1 から 4 まで、0.25 刻みです。\n"
                          "    プロジェクターや電子黒板には 1.5 や 2 を。\n"
                          "--help\n"
                          "    この説明を表示します。\n"
                          "--version\n"
                          "    版を表示します。\n");
}
