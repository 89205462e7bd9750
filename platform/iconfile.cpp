#include "platform/iconfile.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>

namespace {

constexpr int kMaxSide = 256;

std::uint16_t u16(QByteArrayView b, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}

std::uint32_t u32(QByteArrayView b, qsizetype at)
{
    return u16(b, at) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16;
}

std::optional<IconFileImage> fail(QString *error, const char *why)
{
    if (error)
        *error = QString::fromUtf8(why);
    return std::nullopt;
}

// Rows of a DIB are stored bottom-up, each padded to 4 bytes.
qsizetype rowBytes(int width, int bits)
{
    return ((qsizetype(width) * bits + 31) / 32) * 4;
}

int bitsAt(const std::uint8_t *row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
    case 8: return row[x];
    default: return 0;
    }
}

} // namespace

std::optional<IconFileImage> decodeIconFile(QByteArrayView bytes, QString *error)
{
    if (bytes.size() > kMaxIconFileBytes)
        return fail(error, "file too large");
    if (bytes.size() < 6 + 16)
        return fail(error, "truncated header");
    const int type = u16(bytes, 2);
    if (u16(bytes, 0) != 0 || (type != 1 && type != 2))
        return fail(error, "not an icon or cursor file");
    if (u16(bytes, 4) == 0)
        return fail(error, "no images");

    IconFileImage result;
    result.kind = static_cast<IconFileImage::Kind>(type);
    if (result.kind == IconFileImage::Kind::Cursor)
        result.hotspot = QPoint(u16(bytes, 6 + 4), u16(bytes, 6 + 6));
    const std::uint32_t size = u32(bytes, 6 + 8);
    const std::uint32_t offset = u32(bytes, 6 + 12);
    if (offset > std::uint64_t(bytes.size()) || size > std::uint64_t(bytes.size()) - offset)
        return fail(error, "image data outside the file");
    const QByteArrayView data = bytes.sliced(offset, size);

    if (data.size() >= 8 && data.first(8) == QByteArrayView("\x89PNG\r\n\x1a\n", 8)) {
        QByteArray copy = data.toByteArray();
        QBuffer buffer(&copy);
        QImageReader reader(&buffer, "png");
        const QSize pngSize = reader.size();
        if (!pngSize.isValid() || pngSize.width() > kMaxSide || pngSize.height() > kMaxSide)
            return fail(error, "PNG image too large");
        result.image = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (result.image.isNull())
            return fail(error, "unreadable PNG image");
        result.bitsPerPixel = 32;
    } else {
        if (data.size() < 40 || u32(data, 0) < 40)
            return fail(error, "truncated bitmap header");
        const auto width = static_cast<std::int32_t>(u32(data, 4));
        const auto doubledHeight = static_cast<std::int32_t>(u32(data, 8));
        const int bits = u16(data, 14);
        const std::uint32_t compression = u32(data, 16);
        if (width <= 0 || width > kMaxSide || doubledHeight <= 0 || doubledHeight > 2 * kMaxSide
            || doubledHeight % 2 != 0)
            return fail(error, "bad image size");
        if (compression != 0)
            return fail(error, "compressed bitmap");
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
            return fail(error, "unsupported depth");
        const int height = doubledHeight / 2;
        const qsizetype headerSize = u32(data, 0);
        qsizetype paletteSize = 0;
        if (bits <= 8) {
            std::uint32_t used = u32(data, 32);
            if (used == 0 || used > (1u << bits))
                used = 1u << bits;
            paletteSize = qsizetype(used) * 4;
        }
        const qsizetype xorBytes = rowBytes(width, bits) * height;
        const qsizetype andBytes = rowBytes(width, 1) * height;
        if (headerSize > data.size() || data.size() - headerSize < paletteSize + xorBytes + andBytes)
            return fail(error, "truncated pixel data");

        const auto *palette = reinterpret_cast<const std::uint8_t *>(data.data()) + headerSize;
        const auto *xorBits = palette + paletteSize;
        const auto *andBits = xorBits + xorBytes;
        const int paletteEntries = static_cast<int>(paletteSize / 4);
        result.image = QImage(width, height, QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t *xorRow = xorBits + rowBytes(width, bits) * (height - 1 - y);
            const std::uint8_t *andRow = andBits + rowBytes(width, 1) * (height - 1 - y);
            auto *out = reinterpret_cast<QRgb *>(result.image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                QRgb pixel;
                if (bits <= 8) {
                    const int i = bitsAt(xorRow, x, bits);
                    const std::uint8_t *p = palette + 4 * (i < paletteEntries ? i : 0);
                    pixel = qRgb(p[2], p[1], p[0]);
                } else {
                    const std::uint8_t *p = xorRow + x * (bits / 8);
                    pixel = bits == 32 ? qRgba(p[2], p[1], p[0], p[3]) : qRgb(p[2], p[1], p[0]);
                }
                if (bitsAt(andRow, x, 1))
                    pixel = qRgba(0, 0, 0, 0);
                out[x] = pixel;
            }
        }
        result.bitsPerPixel = bits;
    }
    if (result.hotspot.x() >= result.image.width() || result.hotspot.y() >= result.image.height())
        return fail(error, "hotspot outside the image");
    return result;
}
