#include "pictures/cursorloader.h"

#include "pictures/iconfile.h"

#include <QPixmap>

#include <algorithm>

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

    if (m_holding && entry->checkedIn == m_hold) {
        if (!entry->picture)
            *error = entry->error;
        return entry->picture;
    }
    if (m_holding)
        entry->checkedIn = m_hold;

    // Unchanged since the last call: decided from the name's identity alone, without opening.
    if (entry->known && os::identityOf(path) == entry->identity) {
        if (!entry->picture)
            *error = entry->error;
        return entry->picture;
    }

    // Anything else is decided on one handle, opened without blocking: a FIFO or device
    // swapped in under the name must not stall the window.
    os::OpenFile file(path);
    if (!file.isOpen()) {
        *error = entry->error = file.error();
        entry->known = false;
        entry->picture.reset();
        return nullptr;
    }
    if (entry->known && entry->identity == file.identity()) {
        if (!entry->picture)
            *error = entry->error;
        return entry->picture;
    }

    entry->known = true;
    entry->identity = file.identity();
    entry->picture = readCursor(file, &entry->error);
    if (!entry->picture)
        *error = entry->error;
    return entry->picture;
}

void CursorLoader::holdChecks(bool hold)
{
    m_holding = hold;
    if (hold && ++m_hold == 0)
        m_hold = 1; // 0 is "never"
}

PictureRef CursorLoader::readCursor(os::OpenFile &file, QString *error)
{
    if (!file.isRegular()) {
        *error = QStringLiteral("普通のファイルではありません");
        return nullptr;
    }
    if (file.size() > kMaxIconFileBytes) {
        *error = QStringLiteral("ファイルが大きすぎます");
        return nullptr;
    }
    // Read at most one byte past the limit: the file may have grown since it was opened.
    const std::optional<QByteArray> bytes = file.read(kMaxIconFileBytes + 1, error);
    if (!bytes)
        return nullptr;
    const auto decoded = decodeIconFile(*bytes, error);
    if (!decoded)
        return nullptr;
    if (decoded->kind != IconFileImage::Kind::Cursor) {
        *error = QStringLiteral("カーソルではなくアイコンです");
        return nullptr;
    }
    return makeCursorPicture(decoded->image, decoded->hotspot);
}
