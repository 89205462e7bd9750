// Files through POSIX calls: on Linux and other POSIX systems, and in a browser, whose page
// gives the program an emulated file system.
#include "system/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

} // namespace os
