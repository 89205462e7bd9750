#pragma once

#include "forms/runtime.h"
#include "system/system.h"

#include <QByteArray>
#include <QCursor>
#include <QString>

#include <vector>

// A cursor the Qt runtime hands out as a Picture.
struct QtPicture final : Picture
{
    explicit QtPicture(QCursor c)
        : cursor(std::move(c))
    {}
    QCursor cursor;
};

// Loads cursor files for the board. A name whose identity, size and times are the same as at
// the last call is not read again, whether it worked then or not: a drag costs one stat() per
// event. Otherwise the name is opened once, without blocking, and everything is decided on that
// handle: what it is, its size, its bytes, and the identity remembered with the result. A
// file replaced on disk is tried at the next event.
class CursorLoader
{
public:
    // Null when the file cannot be used; *error (if given) then says why.
    PictureRef load(const QByteArray &path, QString *error);

    // From holdChecks(true) to holdChecks(false) each name is looked at once: the moves of one
    // touch frame are one event, and the file is the same for all of them.
    void holdChecks(bool hold);

private:
    struct Entry
    {
        QByteArray path;
        bool known = false; // identity holds the file last looked at
        os::FileIdentity identity;
        PictureRef picture; // null: that file could not be used, for the reason below
        QString error;
        unsigned checkedIn = 0; // the hold in which the name was last looked at
    };
    static PictureRef readCursor(os::OpenFile &file, QString *error);
    std::vector<Entry> m_cache;
    bool m_holding = false;
    unsigned m_hold = 0;
};

// The cursor for a decoded .cur image, at its hotspot.
PictureRef makeCursorPicture(const QImage &image, const QPoint &hotspot);
