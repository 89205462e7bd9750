#pragma once

#include "platform/forms.h"

#include <QCursor>
#include <QString>

#include <sys/types.h>

#include <vector>

// A cursor the Qt runtime hands out as a Picture.
struct QtPicture final : Picture
{
    explicit QtPicture(QCursor c) : cursor(std::move(c)) {}
    QCursor cursor;
};

// Loads cursor files for the board. A file whose identity, size and times have not changed
// since it was last decoded is not read again, so a drag costs one stat() per event while a
// file replaced on disk is picked up at the next event.
class CursorLoader
{
public:
    // Null when the file cannot be used; *error (if given) then says why.
    PictureRef load(const QString &path, QString *error);

private:
    struct Entry
    {
        QString path;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        PictureRef picture;
    };
    std::vector<Entry> m_cache;
};

// The cursor for a decoded .cur image, at its hotspot.
PictureRef makeCursorPicture(const QImage &image, const QPoint &hotspot);
