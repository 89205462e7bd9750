#include "app/options.h"

#include <cmath>

namespace {
constexpr double kLargest = 4;
constexpr double kStep = 0.25;

// The line for a scale that cannot be used, or nothing when it can.
std::optional<QString> refusal(const QString &text, double scale, bool number)
{
    const QString option = QStringLiteral("--scale %1").arg(text);
    if (!number)
        return QStringLiteral("%1 は倍率ではありません。1 から 4 までを 0.25 刻みで指定してください。倍率 1 で表示します。").arg(option);
    // Below 1, Qt 6.4 on X11 draws the tray and the date strip black and chalk away from the pointer.
    if (!(scale >= 1))
        return QStringLiteral("%1 は 1 より小さいため使えません。倍率 1 で表示します。").arg(option);
    if (scale > kLargest)
        return QStringLiteral("%1 は 4 より大きいため使えません。倍率 1 で表示します。").arg(option);
    if (std::fmod(scale, kStep) != 0)
        return QStringLiteral("%1 は 0.25 刻みではないため使えません（1.25、1.5、2 など）。倍率 1 で表示します。").arg(option);
    return std::nullopt;
}
} // namespace

Options parseOptions(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--version")) {
            options.version = true;
        } else if (argument == QLatin1String("--scale") || argument.startsWith(QLatin1String("--scale="))) {
            const bool joined = argument.contains(QLatin1Char('='));
            const QString text = joined ? argument.section(QLatin1Char('='), 1) : i + 1 < arguments.size() ? arguments[++i] : QString();
            bool number = false;
            const double scale = text.toDouble(&number);
            if (const std::optional<QString> line = refusal(text, scale, number && std::isfinite(scale))) {
                options.refused << *line;
                options.scale = 1;
            } else {
                options.scale = scale;
            }
        }
    }
    return options;
}

QString helpText()
{
    return QStringLiteral(
        "使い方: zav-blackboard [--scale 倍率]\n"
        "\n"
        "学校にある黒板と同じです。左ボタンで書き、右ボタンで消します。\n"
        "\n"
        "  --scale 倍率  窓を大きく表示します（1 から 4 まで、0.25 刻み）。\n"
        "                プロジェクターや電子黒板には 1.5 や 2 を。\n"
        "  --help        この説明を表示します。\n"
        "  --version     版を表示します。\n");
}
