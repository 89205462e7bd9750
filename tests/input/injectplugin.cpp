// A generic input plugin for end-to-end tests: Xvfb has no touch screen or pen, so this feeds
// touch and tablet events into the real program through Qt's window-system path.
//   QT_PLUGIN_PATH=<dir holding generic/> QT_QPA_GENERIC_PLUGINS=zavinject ZAV_INJECT=<fifo> program
// Each line written to the FIFO is one event (see injector.h); each line done is appended to
// $ZAV_INJECT.done, so the test knows when the program has handled it.
#include "injector.h"

#include <QFile>
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <fcntl.h>
#include <unistd.h>

namespace {

class Injector final : public QObject
{
public:
    explicit Injector(const QByteArray &fifo)
        : m_done(QFile::decodeName(fifo) + QStringLiteral(".done"))
    {
        // Read and write, so the FIFO never reads as ended between the test's writes.
        m_fd = ::open(fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) {
            qWarning("zavinject: cannot open %s", fifo.constData());
            return;
        }
        m_done.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readLines(); });
    }
    ~Injector() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

private:
    static QWindow *mainWindow()
    {
        for (QWindow *w : QGuiApplication::topLevelWindows())
            if (w->isVisible() && w->title() == QStringLiteral("ZAV 黒板"))
                return w;
        return nullptr;
    }

    void readLines()
    {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0)
                break;
            m_pending.append(chunk, n);
        }
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
            m_pending.remove(0, end + 1);
            QString error;
            QWindow *window = mainWindow();
            if (window)
                inject::runLine(window, line, &error);
            else
                error = QStringLiteral("no window");
            m_done.write(
                (error.isEmpty() ? QStringLiteral("ok ") : QStringLiteral("error ") + error + QLatin1Char(' ')).toUtf8()
                + line.toUtf8() + '\n');
        }
    }

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
    QFile m_done;
};

} // namespace

class ZavInjectPlugin final : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "injectplugin.json")

public:
    QObject *create(const QString &key, const QString &) override
    {
        if (key.compare(QLatin1String("zavinject"), Qt::CaseInsensitive) != 0)
            return nullptr;
        const QByteArray fifo = qgetenv("ZAV_INJECT");
        return fifo.isEmpty() ? nullptr : new Injector(fifo);
    }
};

#include "injectplugin.moc"
