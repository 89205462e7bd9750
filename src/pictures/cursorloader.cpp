#include "pictures/cursorloader.h"

#include "pictures/iconfile.h"

#include <QPixmap>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Closes the descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};
} // namespace

CursorLoader::Identity CursorLoader::identityOf(const struct stat &info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool CursorLoader::Identity::operator==(const Identity &other) const
{
    return device == other.device && inode == other.inode && size == other.size
        && sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

PictureRef makeCursorPicture(const QImage &image, const QPoint &hotspot)
{
    return std::make_shared<QtPicture>(QCursor(QPixmap::fromImage(image), hotspot.x(), hotspot.y()));
}

PictureRef CursorLoader::load(const QByteArray &path, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    auto entry = std::find_if(m_cache.begin(), m_cache.end(), [&](const Entry &e) { return e.path == path; });
    if (entry == m_cache.end()) {
        m_cache.emplace_back().path = path;
        entry = std::prev(m_cache.end());
    }

    // Unchanged since the last call: decided from the name's identity alone, without opening.
    struct stat info {};
    if (entry->known && ::stat(path.constData(), &info) == 0 && entry->identity == identityOf(info)) {
        if (!entry->picture)
            *error = entry->error;
        return entry->picture;
    }

    // Anything else is decided on one descriptor, opened without blocking: a FIFO or device
    // swapped in under the name must not stall the window.
    const Descriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        *error = systemError(errno);
        entry->known = false;
        entry->picture.reset();
        return nullptr;
    }
    const Identity identity = identityOf(info);
    if (entry->known && entry->identity == identity) {
        if (!entry->picture)
            *error = entry->error;
        return entry->picture;
    }

    entry->known = true;
    entry->identity = identity;
    entry->picture = readCursor(file.get(), info, &entry->error);
    if (!entry->picture)
        *error = entry->error;
    return entry->picture;
}

PictureRef CursorLoader::readCursor(int fd, const struct stat &info, QString *error)
{
    if (!S_ISREG(info.st_mode)) {
        *error = QStringLiteral("not a regular file");
        return nullptr;
    }
    if (info.st_size > kMaxIconFileBytes) {
        *error = QStringLiteral("file too large");
        return nullptr;
    }
    // Read at most one byte past the limit: the file may have grown since fstat().
    QByteArray bytes(static_cast<qsizetype>(kMaxIconFileBytes + 1), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = systemError(errno);
            return nullptr;
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    const auto decoded = decodeIconFile(bytes, error);
    if (!decoded)
        return nullptr;
    if (decoded->kind != IconFileImage::Kind::Cursor) {
        *error = QStringLiteral("an icon, not a cursor file");
        return nullptr;
    }
    return makeCursorPicture(decoded->image, decoded->hotspot);
}
