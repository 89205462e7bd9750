// The system interface on Linux and other POSIX systems.
#include "system/system.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

namespace os {

namespace {
QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

FileIdentity identityFrom(const struct stat &info)
{
    const auto u = [](auto value) { return static_cast<std::uint64_t>(value); };
    return {{u(info.st_dev), u(info.st_ino), u(info.st_size), u(info.st_mtim.tv_sec), u(info.st_mtim.tv_nsec),
             u(info.st_ctim.tv_sec), u(info.st_ctim.tv_nsec), 0}};
}
} // namespace

QByteArray programDirectory()
{
    // The bytes the kernel gives: a folder whose name is not valid in the locale's encoding
    // (an old archive unpacked with Shift-JIS names) is still this program's folder.
    QByteArray exe(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), static_cast<size_t>(exe.size()));
    if (n > 0 && n < exe.size()) {
        exe.truncate(n);
        const qsizetype slash = exe.lastIndexOf('/');
        if (slash > 0)
            return exe.left(slash);
        if (slash == 0)
            return QByteArrayLiteral("/");
    }
    return QFile::encodeName(QCoreApplication::applicationDirPath());
}

std::optional<FileIdentity> identityOf(const QByteArray &path)
{
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return identityFrom(info);
}

OpenFile::OpenFile(const QByteArray &path)
    : m_handle(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY))
{
    struct stat info {};
    if (m_handle < 0 || ::fstat(static_cast<int>(m_handle), &info) != 0) {
        m_error = systemError(errno);
        return;
    }
    m_open = true;
    m_identity = identityFrom(info);
    m_regular = S_ISREG(info.st_mode);
    m_size = info.st_size;
}

OpenFile::~OpenFile()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

qint64 OpenFile::readSome(char *data, qint64 size, QString *error)
{
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(m_handle), data, static_cast<size_t>(size));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            *error = systemError(errno);
            return -1;
        }
    }
}

std::uint64_t randomSeed()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())
        ^ std::random_device{}();
}

void reportLine(const QString &line)
{
    std::fprintf(stderr, "zav-blackboard: %s\n", qUtf8Printable(line));
    std::fflush(stderr);
}

void showText(const QString &text)
{
    std::fputs(qUtf8Printable(text), stdout);
    std::fflush(stdout);
}

void fatalLine(const QString &line)
{
    reportLine(line);
    ::_exit(1);
}

void prepareWindow(std::uintptr_t)
{
}

// On a Wayland desktop the window goes through XWayland when there is one. Natively, on a
// compositor that leaves decorations to the program (GNOME, weston), Qt draws its own title bar
// with minimise and maximise buttons that a fixed-size window cannot honour; Wayland also has no
// global positions, so the popup could not open where it was asked for. Through XWayland the
// desktop's own frame follows the window's fixed size and shows only its close button. A
// platform the user names in QT_QPA_PLATFORM is left as it is.
void choosePlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

std::optional<QString> noDisplayLine(const QStringList &qtMessages)
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool noDisplay = !qtMessages.filter(QStringLiteral("could not connect to display")).isEmpty()
        || (display.isEmpty() && (platform.isEmpty() || platform.startsWith(QLatin1String("xcb"))));
    if (!noDisplay)
        return std::nullopt;
    return QStringLiteral("画面に接続できないため起動できません（DISPLAY=%1）。")
        .arg(display.isEmpty() ? QStringLiteral("未設定") : display);
}

} // namespace os
