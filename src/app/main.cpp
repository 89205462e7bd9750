#include "app/options.h"
#include "app/program.h"
#include "facts.h"
#include "shell/shell.h"
#include "system/display.h"
#include "system/system.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>

namespace {

QStringList g_startupMessages;

// While the application object is being made, Qt's own chatter is held back: if the display
// cannot be opened Qt would print several lines and abort with a core dump; we say it once.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        g_startupMessages << message;
        return;
    }
    if (const std::optional<QString> line = os::noDisplayLine(g_startupMessages))
        os::fatalLine(*line);
    os::fatalLine(QStringLiteral("起動できません: %1").arg(message.section(QLatin1Char('\n'), 0, 0)));
}

QtMessageHandler g_qtHandler = nullptr;

// Once running, a fatal Qt error still ends in one line and status 1, not an abort.
void runningMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        g_qtHandler(type, context, message);
        return;
    }
    os::fatalLine(QStringLiteral("続けられないエラーです: %1").arg(message.section(QLatin1Char('\n'), 0, 0)));
}

// An exception escaping an event handler would end in std::terminate and a core dump.
class Application final : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            os::fatalLine(QStringLiteral("続けられないエラーです: %1").arg(QString::fromLocal8Bit(e.what())));
        } catch (...) {
            os::fatalLine(QStringLiteral("続けられないエラーです。"));
        }
    }
};

// Where the system offers the program no Japanese face (a web browser), one built in for the
// window's own texts: present only there.
void useBuiltInTextFace()
{
    const QString file = QStringLiteral(":/fonts/ui.otf");
    if (!QFile::exists(file))
        return;
    const QStringList families = QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(file));
    if (families.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamilies(families);
    QApplication::setFont(font);
}

} // namespace

int main(int argc, char **argv)
{
    os::guardLoading();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Options options = parseOptions(arguments);
    for (const QString &line : options.refused)
        os::reportLine(line);
    if (options.help || options.version) {
        if (os::showText(options.help ? helpText()
                                      : QString::fromUtf8(facts::kTitle) + QStringLiteral(" " ZAV_VERSION "\n")))
            return 0;
        os::reportLine(QStringLiteral("%1 を書き出せません。").arg(options.help ? "--help" : "--version"));
        return 1;
    }
    // The same as the environment's scale factor, which it replaces; either is held to one rule.
    if (options.scale)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*options.scale));
    for (const QString &line : settleScaleEnvironment())
        os::reportLine(line);

    os::choosePlatform();
    qInstallMessageHandler(startupMessageHandler);
    // Every pointer position the system reports lays its own dab, however busy the machine is:
    // with compression on, moves queued while a frame is painted are merged into the last one
    // and a stroke's dabs would depend on the load.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    Application app(argc, argv);
    // Windows' platform plugin turns it back on while the application object is built.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QApplication::setApplicationName(QStringLiteral("zav-blackboard"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(facts::kTitle));
    QApplication::setApplicationVersion(QStringLiteral(ZAV_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.zav.blackboard"));
    qInstallMessageHandler(nullptr);
    g_qtHandler = qInstallMessageHandler(runningMessageHandler);
    for (const QString &message : std::as_const(g_startupMessages))
        qWarning("%s", qUtf8Printable(message));

    useBuiltInTextFace();

    Program program;
    BlackboardWindow &window = program.window();
    if (os::windowIsScreen()) {
        window.setWindowFlag(Qt::FramelessWindowHint);
        window.move(0, 0);
    }
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &shell::windowClosed);
    program.start();
    shell::windowShown(&window);
    return QApplication::exec();
}
