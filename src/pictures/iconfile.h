#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

// The first image of a Windows .ico or .cur file.
struct IconFileImage
{
    enum class Kind { Icon = 1, Cursor = 2 };
    Kind kind = Kind::Icon;
    QImage image; // ARGB32; transparent where the AND mask is set
    QPoint hotspot; // (0, 0) for icons
};

// What Qt's readers may allocate for one picture (QImageReader::setAllocationLimit, the
// process's, set once as it starts): 256 x 256 ARGB32 is 256 KiB.
inline constexpr int kDecodeAllocationLimitMiB = 1;

// Largest file a picture may come from; anything bigger is refused before it is read.
inline constexpr qint64 kMaxIconFileBytes = 1 << 20;

// Decodes untrusted bytes. The directory, the first entry's bounds, the hotspot and the sizes are
// checked here; the pixels are decoded by Qt's own ICO and PNG readers. Returns nothing, and says
// why in *error, for anything malformed.
std::optional<IconFileImage> decodeIconFile(QByteArrayView bytes, QString *error = nullptr);
