#include "pictures/iconfile.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <utility>

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

std::uint32_t bigEndian32(QByteArrayView b, qsizetype at)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = value << 8 | static_cast<std::uint8_t>(b[at + i]);
    return value;
}

void putLittle(QByteArray &b, qsizetype at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
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

// Qt's reader for the given bytes, bounded so that no header can make it allocate much.
QImage readWithQt(QByteArray bytes, const char *format)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Bounded by kDecodeAllocationLimitMiB, which the process gives every reader as it starts.
    QImageReader reader(&buffer, format);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// What a bitmap entry's header says, once checked.
struct Bitmap
{
    QSize size;
    int bits = 0;
    qsizetype headerSize = 0; // 40, or more for a BITMAPV4HEADER or BITMAPV5HEADER
    qsizetype pixelOffset = 0; // of the XOR pixels, from the start of the entry
    qsizetype maskOffset = 0; // of the AND mask, from the start of the entry
    bool hasMask = false; // all of the AND mask is there (32 bits may go without)
};

// A bitmap entry's header says what Qt's ICO reader will be asked to decode; everything it
// claims is checked against the side cap and the bytes that are really there first.
const char *checkBitmap(QByteArrayView data, Bitmap *bitmap)
{
    if (data.size() < 40 || u32(data, 0) < 40)
        return "ビットマップのヘッダーが途中で切れています";
    const auto width = static_cast<std::int32_t>(u32(data, 4));
    const auto doubledHeight = static_cast<std::int32_t>(u32(data, 8));
    const int bits = u16(data, 14);
    if (width <= 0 || width > kMaxSide || doubledHeight <= 0 || doubledHeight > 2 * kMaxSide || doubledHeight % 2 != 0)
        return "画像の大きさが正しくありません";
    if (u32(data, 16) != 0)
        return "圧縮されたビットマップは読めません";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return "読めない色数です";
    const int height = doubledHeight / 2;
    qsizetype paletteSize = 0;
    if (bits <= 8) {
        const std::uint32_t used = u32(data, 32);
        if (used > (1u << bits))
            return "色数より多くの色が並んでいます";
        paletteSize = qsizetype(used == 0 ? 1u << bits : used) * 4;
    }
    const qsizetype headerSize = u32(data, 0);
    const qsizetype xorBytes = rowBytes(width, bits) * height;
    const qsizetype maskBytes = rowBytes(width, 1) * height;
    if (headerSize > data.size() || data.size() - headerSize < paletteSize + xorBytes)
        return "画素のデータが途中で切れています";
    // Windows draws a 32-bit image by its alpha; its mask, which some writers leave out or cut
    // short, is read only when the alpha says nothing. Other depths need all of it.
    const bool hasMask = data.size() - headerSize - paletteSize - xorBytes >= maskBytes;
    if (!hasMask && bits != 32)
        return "画素のデータが途中で切れています";
    *bitmap = {
        QSize(width, height), bits, headerSize, headerSize + paletteSize, headerSize + paletteSize + xorBytes, hasMask};
    return nullptr;
}

// The bitmap as Qt's ICO reader takes it: it reads the palette and pixels right after a 40-byte
// header, so a longer one (BITMAPV4HEADER, BITMAPV5HEADER, whose extra fields say nothing for an
// uncompressed bitmap) is cut to its first 40 bytes.
QByteArray withPlainHeader(QByteArrayView data, const Bitmap &bitmap)
{
    QByteArray plain = data.first(40).toByteArray();
    putLittle(plain, 0, 40, 4);
    plain += data.sliced(bitmap.headerSize).toByteArray();
    return plain;
}

// A 32-bit bitmap whose alpha is zero everywhere was written by an editor that keeps transparency
// in the AND mask only; Windows shows its colours opaque.
bool alphaSaysNothing(QByteArrayView data, const Bitmap &bitmap)
{
    const qsizetype pixels = qsizetype(bitmap.size.width()) * bitmap.size.height();
    for (qsizetype i = 0; i < pixels; ++i) {
        if (data[bitmap.pixelOffset + 4 * i + 3] != 0)
            return false;
    }
    return true;
}

// A 32-bit bitmap's colours as they are stored, with their alpha or opaque; never through
// premultiplied form, which would round the colours of pixels that are nearly transparent.
// Rows are stored bottom-up.
QImage colours32(QByteArrayView data, const Bitmap &bitmap, bool opaque)
{
    QImage image(bitmap.size, QImage::Format_ARGB32);
    const int height = bitmap.size.height();
    for (int y = 0; y < height; ++y) {
        const qsizetype row = bitmap.pixelOffset + rowBytes(bitmap.size.width(), 32) * (height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < bitmap.size.width(); ++x) {
            const auto byte = [&](int i) { return static_cast<std::uint8_t>(data[row + 4 * qsizetype(x) + i]); };
            out[x] = qRgba(byte(2), byte(1), byte(0), opaque ? 255 : byte(3));
        }
    }
    return image;
}

// Qt's ICO reader drops the AND mask of a 24-bit bitmap (the image stays opaque), so there the
// mask is applied here: a set bit makes the pixel transparent. Rows are stored bottom-up.
void applyAndMask(QImage &image, QByteArrayView data, const Bitmap &bitmap)
{
    const int height = bitmap.size.height();
    for (int y = 0; y < height; ++y) {
        const qsizetype row = bitmap.maskOffset + rowBytes(bitmap.size.width(), 1) * (height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < bitmap.size.width(); ++x) {
            if ((static_cast<std::uint8_t>(data[row + x / 8]) >> (7 - x % 8)) & 1)
                out[x] = qRgba(0, 0, 0, 0);
        }
    }
}

// The PNG as Qt's reader takes it, from the rest of the file: to its IEND chunk. Some writers'
// directory entries count fewer bytes than the PNG holds (browsers draw such icons); where the file
// itself ends before IEND, the chunks that are whole are kept and the end added.
QByteArray withEnd(QByteArrayView png)
{
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const qsizetype next = at + 12 + qsizetype(bigEndian32(png, at));
        if (next > png.size())
            break;
        if (png.sliced(at + 4, 4) == QByteArrayView("IEND"))
            return png.first(next).toByteArray();
        at = next;
    }
    return png.first(at).toByteArray() + QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12);
}

const char *checkPng(QByteArrayView data, QSize *size)
{
    // Signature, then the IHDR chunk: length 13, type, width and height.
    if (data.size() < 8 + 8 + 8 || bigEndian32(data, 8) != 13 || data.sliced(12, 4) != QByteArrayView("IHDR"))
        return "PNG のヘッダーを読めません";
    const std::uint32_t width = bigEndian32(data, 16);
    const std::uint32_t height = bigEndian32(data, 20);
    if (width == 0 || width > kMaxSide || height == 0 || height > kMaxSide)
        return "画像の大きさが正しくありません";
    *size = QSize(static_cast<int>(width), static_cast<int>(height));
    return nullptr;
}

} // namespace

std::optional<IconFileImage> decodeIconFile(QByteArrayView bytes, QString *error)
{
    if (bytes.size() > kMaxIconFileBytes)
        return fail(error, "ファイルが大きすぎます");
    if (bytes.size() < 6 + 16)
        return fail(error, "ヘッダーが途中で切れています");
    const int type = u16(bytes, 2);
    if (u16(bytes, 0) != 0 || (type != 1 && type != 2))
        return fail(error, "アイコンでもカーソルでもありません");
    if (u16(bytes, 4) == 0)
        return fail(error, "画像が入っていません");

    // The first entry of the directory is the picture.
    IconFileImage result;
    result.kind = static_cast<IconFileImage::Kind>(type);
    if (result.kind == IconFileImage::Kind::Cursor)
        result.hotspot = QPoint(u16(bytes, 6 + 4), u16(bytes, 6 + 6));
    const std::uint32_t size = u32(bytes, 6 + 8);
    const std::uint32_t offset = u32(bytes, 6 + 12);
    if (offset > std::uint64_t(bytes.size()) || size > std::uint64_t(bytes.size()) - offset)
        return fail(error, "画像のデータがファイルの外にあります");
    const QByteArrayView rest = bytes.sliced(offset);
    const bool png = rest.size() >= 8 && rest.first(8) == QByteArrayView("\x89PNG\r\n\x1a\n", 8);
    const QByteArrayView data = png ? rest : rest.first(size);

    Bitmap bitmap;
    if (const char *why = png ? checkPng(data, &bitmap.size) : checkBitmap(data, &bitmap))
        return fail(error, why);

    if (png) {
        result.image = readWithQt(withEnd(data), "png");
    } else if (bitmap.bits == 32) {
        // The AND mask is the transparency only where the alpha says nothing, and there is one.
        const bool maskOnly = bitmap.hasMask && alphaSaysNothing(data, bitmap);
        result.image = colours32(data, bitmap, maskOnly);
        if (maskOnly)
            applyAndMask(result.image, data, bitmap);
    } else {
        // Qt's ICO reader gets an icon of that one checked entry: a directory of one, pointing
        // just past itself, then the bitmap as it stands in the file.
        QByteArray single(6 + 16, '\0');
        putLittle(single, 2, 1, 2);
        putLittle(single, 4, 1, 2);
        single[6] = static_cast<char>(bitmap.size.width() & 0xFF);
        single[6 + 1] = static_cast<char>(bitmap.size.height() & 0xFF);
        putLittle(single, 6 + 4, 1, 2);
        putLittle(single, 6 + 6, static_cast<std::uint32_t>(bitmap.bits), 2);
        const QByteArray entry = withPlainHeader(data, bitmap);
        putLittle(single, 6 + 8, static_cast<std::uint32_t>(entry.size()), 4);
        putLittle(single, 6 + 12, 6 + 16, 4);
        single += entry;
        // Qt's reader does not apply the AND mask of 24 bits: it is applied here.
        result.image = readWithQt(std::move(single), "ico");
        if (!result.image.isNull() && result.image.size() == bitmap.size && bitmap.bits == 24)
            applyAndMask(result.image, data, bitmap);
    }
    if (result.image.isNull())
        return fail(error, png ? "PNG 画像を読めません" : "ビットマップを読めません");
    if (result.image.size() != bitmap.size)
        return fail(error, "画像の大きさが正しくありません");
    if (result.hotspot.x() >= result.image.width() || result.hotspot.y() >= result.image.height())
        return fail(error, "ホットスポットが画像の外にあります");
    return result;
}
