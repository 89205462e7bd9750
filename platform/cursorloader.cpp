#include "platform/cursorloader.h"

#include "platform/iconfile.h"

#include <QFile>
#include <QPixmap>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
} // namespace

PictureRef makeCursorPicture(const QImage &image, const QPoint &hotspot)
{
    return std::make_shared<QtPicture>(QCursor(QPixmap::fromImage(image), hotspot.x(), hotspot.y()));
}

PictureRef CursorLoader::load(const QString &path, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    auto entry = std::find_if(m_cache.begin(), m_cache.end(), [&](const Entry &e) { return e.path == path; });
    if (entry == m_cache.end()) {
        m_cache.emplace_back().path = path;
        entry = std::prev(m_cache.end());
    }

    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        entry->picture.reset();
        return nullptr;
    }
    if (entry->picture && entry->device == info.st_dev && entry->inode == info.st_ino && entry->size == info.st_size
        && sameTime(entry->modified, info.st_mtim) && sameTime(entry->changed, info.st_ctim))
        return entry->picture;

    entry->picture.reset();
    if (!S_ISREG(info.st_mode)) {
        *error = QStringLiteral("not a regular file");
        return nullptr;
    }
    if (info.st_size > kMaxIconFileBytes) {
        *error = QStringLiteral("file too large");
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return nullptr;
    }
    // Read at most one byte past the limit: the file may have grown since stat().
    const QByteArray bytes = file.read(kMaxIconFileBytes + 1);
    const auto decoded = decodeIconFile(bytes, error);
    if (!decoded)
        return nullptr;
    if (decoded->kind != IconFileImage::Kind::Cursor) {
        *error = QStringLiteral("an icon, not a cursor file");
        return nullptr;
    }

    entry->device = info.st_dev;
    entry->inode = info.st_ino;
    entry->size = info.st_size;
    entry->modified = info.st_mtim;
    entry->changed = info.st_ctim;
    entry->picture = makeCursorPicture(decoded->image, decoded->hotspot);
    return entry->picture;
}
