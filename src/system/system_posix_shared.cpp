// What Linux and other POSIX systems share with a web browser, where emscripten emulates POSIX:
// files through POSIX calls (in a browser, in the file system the page fills), the random seed,
// and the error lines and asked-for text on standard error and output (in a browser, its console).
#include "system/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

std::optional<FileIdentity> identityOf(const QByteArray &path)
{
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return identityFrom(info);
}

OpenFile::OpenFile(const QByteArray &path)
    : m_handle(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY))
{
    struct stat info = {};
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
        ^ std::random_device {}();
}

void reportLine(const QString &line)
{
    std::fprintf(stderr, "zav-blackboard: %s\n", qUtf8Printable(line));
    std::fflush(stderr);
}

bool showText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    return std::fflush(stdout) == 0 && written;
}

} // namespace os
