#include "board/frmmain.h"
#include "platform/qtforms.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

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
    const char *display = std::getenv("DISPLAY");
    std::fprintf(stderr, "zav-blackboard: 画面に接続できないため起動できません（DISPLAY=%s）。\n",
                 display && *display ? display : "未設定");
    std::fflush(stderr);
    ::_exit(1);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(startupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString &message : std::as_const(g_startupMessages))
        qWarning("%s", qUtf8Printable(message));

    QtForms window;
    frmMain form(window);
    window.setEvents(&form);
    form.Form_Load();
    window.show();
    return app.exec();
}
