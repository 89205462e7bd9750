// The program's pictures, and what becomes of cursor files good and bad.
#include "pictures/cursorloader.h"
#include "pictures/iconfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <thread>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString picture(const QString &name)
{
    return QStringLiteral(ZAV_PICTURE_DIR "/") + name;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void putU16(QByteArray &bytes, int at, quint16 v)
{
    bytes[at] = char(v & 0xFF);
    bytes[at + 1] = char(v >> 8);
}

void putU32(QByteArray &bytes, int at, quint32 v)
{
    putU16(bytes, at, v & 0xFFFF);
    putU16(bytes, at + 2, v >> 16);
}

// A one-entry file (1 icon, 2 cursor) holding a bitmap of the given depth: 'pixels' are palette
// indices for depths up to 8 and 0xRRGGBB values above, row by row from the top; 'mask' marks
// the pixels the AND mask makes transparent. The header is 40 bytes, or longer as editors write
// BITMAPV4HEADER (108) and BITMAPV5HEADER (124). 32-bit pixels carry alpha that agrees with the
// mask, or none at all (zero everywhere), as older editors write them, or where the mask is set an
// alpha of 3, nearly transparent.
enum class Alpha { FromMask, Zero, Faint };
QByteArray iconFile(int type, int width, int height, int bits, const QList<QRgb> &palette, const QList<quint32> &pixels,
                    const QList<bool> &mask, int header = 40, Alpha alpha = Alpha::FromMask)
{
    const auto rowBytes = [](int w, int b) { return ((w * b + 31) / 32) * 4; };
    QByteArray bitmap(header, '\0');
    putU32(bitmap, 0, quint32(header));
    putU32(bitmap, 4, quint32(width));
    putU32(bitmap, 8, quint32(2 * height));
    putU16(bitmap, 12, 1);
    putU16(bitmap, 14, quint16(bits));
    putU32(bitmap, 32, quint32(palette.size()));
    for (QRgb colour : palette)
        bitmap += QByteArray(1, char(qBlue(colour))) + char(qGreen(colour)) + char(qRed(colour)) + '\0';
    QByteArray xorRows, andRows;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(rowBytes(width, bits), '\0');
        QByteArray andRow(rowBytes(width, 1), '\0');
        for (int x = 0; x < width; ++x) {
            const quint32 v = pixels[y * width + x];
            if (bits <= 8) {
                const int shift = 8 - bits - (x * bits) % 8;
                row[x * bits / 8] = char(quint8(row[x * bits / 8]) | v << shift);
            } else {
                const bool masked = mask[y * width + x];
                const int a = alpha == Alpha::Zero ? 0 : !masked ? 0xFF : alpha == Alpha::Faint ? 3 : 0;
                for (int i = 0; i < bits / 8; ++i)
                    row[x * bits / 8 + i] = char(i < 3 ? (v >> (8 * i)) & 0xFF : a);
            }
            if (mask[y * width + x])
                andRow[x / 8] = char(quint8(andRow[x / 8]) | 0x80 >> (x % 8));
        }
        xorRows += row;
        andRows += andRow;
    }
    bitmap += xorRows + andRows;
    QByteArray file(22, '\0');
    putU16(file, 2, quint16(type));
    putU16(file, 4, 1);
    file[6] = char(width);
    file[7] = char(height);
    putU16(file, 10, type == 2 ? 0 : quint16(bits));
    putU32(file, 14, quint32(bitmap.size()));
    putU32(file, 18, 22);
    return file + bitmap;
}

// A path as the program hands it to the system: UTF-8 bytes.
// The file without its last `bytes` bytes, as a writer that stops short leaves it: its directory
// entry says so.
QByteArray cutShort(QByteArray file, int bytes)
{
    file.chop(bytes);
    putU32(file, 14, quint32(file.size() - 22));
    return file;
}

// A one-entry icon holding the image as a PNG.
QByteArray pngIcon(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray file(22, '\0');
    putU16(file, 2, 1);
    putU16(file, 4, 1);
    file[6] = char(image.width());
    file[7] = char(image.height());
    putU16(file, 10, 32);
    putU32(file, 14, quint32(png.size()));
    putU32(file, 18, 22);
    return file + png;
}

QByteArray systemPath(const QString &path)
{
    return path.toUtf8();
}

// Replaces the file at 'to', as an installer renames a new file over an old one.
bool renameOver(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(from.toStdWString().c_str(), to.toStdWString().c_str(), MOVEFILE_REPLACE_EXISTING);
#else
    return ::rename(systemPath(from).constData(), systemPath(to).constData()) == 0;
#endif
}

// Bytes this process has read from files so far.
qint64 bytesRead()
{
#ifdef Q_OS_WIN
    IO_COUNTERS counters {};
    return GetProcessIoCounters(GetCurrentProcess(), &counters) ? qint64(counters.ReadTransferCount) : -1;
#else
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = io.readAll();
    const qsizetype at = text.indexOf("rchar: ");
    return at < 0 ? -1 : text.mid(at + 7, text.indexOf('\n', at) - at - 7).toLongLong();
#endif
}

#ifndef Q_OS_WIN
int openDescriptors()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
}
#endif

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void programPictures_data();
    void programPictures();
    void chalkSticks_data();
    void chalkSticks();
    void everyDepth_data();
    void everyDepth();
    void hostileBytes_data();
    void hostileBytes();
    void hostileFiles_data();
    void hostileFiles();
    void replacedFileTakesEffect();
    void badFileIsNotReadAgain();
    void fifoSwappedInNeverBlocks();
};

void TestPictures::programPictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QPoint>("hotspot");
    QTest::newRow("icon") << "zav.ico" << 1 << 4 << QPoint(0, 0);
    QTest::newRow("tray hand") << "hand.cur" << 2 << 1 << QPoint(0, 0);
    QTest::newRow("eraser") << "eraser.ico" << 1 << 4 << QPoint(0, 0);
    for (int n = 0; n < 6; ++n)
        QTest::addRow("chalk %d", n) << QStringLiteral("chalk%1.ico").arg(n) << 1 << 4 << QPoint(0, 0);
    QTest::newRow("chalk cursor") << "チョーク.cur" << 2 << 4 << QPoint(4, 27);
    QTest::newRow("eraser cursor") << "黒板消し.cur" << 2 << 4 << QPoint(15, 15);
}

void TestPictures::programPictures()
{
    QFETCH(QString, file);
    QFETCH(int, kind);
    QFETCH(int, bits);
    QFETCH(QPoint, hotspot);
    const QByteArray bytes = readFile(picture(file));
    QVERIFY(!bytes.isEmpty());
    QString error;
    const auto decoded = decodeIconFile(bytes, &error);
    QVERIFY2(decoded, qPrintable(error));
    QCOMPARE(int(decoded->kind), kind);
    QCOMPARE(decoded->image.size(), QSize(32, 32));
    // The depth, as the first entry's bitmap header gives it.
    const qsizetype entry = static_cast<qsizetype>(quint8(bytes[18])) | quint8(bytes[19]) << 8;
    QCOMPARE(quint8(bytes[entry + 14]) | quint8(bytes[entry + 15]) << 8, bits);
    QCOMPARE(decoded->hotspot, hotspot);
    // The directory entry agrees with the bitmap: 32 x 32, and for icons the depth.
    QCOMPARE(quint8(bytes[6]), quint8(32));
    QCOMPARE(quint8(bytes[7]), quint8(32));
    if (kind == 1)
        QCOMPARE(quint8(bytes[6 + 6]), quint8(bits));
    // Cursors show something at their hotspot, so the pointer lands on ink.
    if (kind == 2 && file != QStringLiteral("hand.cur"))
        QCOMPARE(qAlpha(decoded->image.pixel(hotspot)), 255);
}

void TestPictures::chalkSticks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QRgb>("body");
    const QRgb bodies[] = {qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(255, 0, 255),
                           qRgb(255, 0, 0),     qRgb(0, 0, 255),   qRgb(0, 128, 0)};
    for (int n = 0; n < 6; ++n)
        QTest::addRow("chalk %d", n) << n << bodies[n];
}

void TestPictures::chalkSticks()
{
    QFETCH(int, index);
    QFETCH(QRgb, body);
    const auto decoded = decodeIconFile(readFile(picture(QStringLiteral("chalk%1.ico").arg(index))));
    QVERIFY(decoded);
    const QImage &image = decoded->image;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 32; ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    // Black outline along the top and bottom, the body colour between, across the full width.
    QCOMPARE(image.pixel(16, 22), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(16, 31), qRgb(0, 0, 0));
    for (int x = 5; x < 31; ++x)
        QCOMPARE(image.pixel(x, 26), body);
    QCOMPARE(image.pixel(31, 26), qRgb(0, 0, 0));
}

void TestPictures::everyDepth_data()
{
    // A 3 x 2 picture: top row red, green, blue; bottom row white, black, and a transparent
    // pixel where the AND mask is set (or, where the alpha is faint, that pixel exactly).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QRgb>("corner");
    const QList<bool> mask = {false, false, false, false, false, true};
    const QList<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)};
    const QList<quint32> indices = {0, 1, 2, 3, 4, 4};
    const QList<quint32> colours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xC94D0D};
    const QRgb clear = qRgba(0, 0, 0, 0);
    const QByteArray cursor32 = iconFile(2, 3, 2, 32, {}, colours, mask);
    QImage picture(3, 2, QImage::Format_ARGB32);
    for (int i = 0; i < 6; ++i)
        picture.setPixel(i % 3, i / 3, i < 5 ? palette[i] : clear);
    const QByteArray png = pngIcon(picture);
    QTest::newRow("4-bit icon") << iconFile(1, 3, 2, 4, palette, indices, mask) << clear;
    QTest::newRow("8-bit cursor") << iconFile(2, 3, 2, 8, palette, indices, mask) << clear;
    QTest::newRow("24-bit icon") << iconFile(1, 3, 2, 24, {}, colours, mask) << clear;
    QTest::newRow("24-bit cursor") << iconFile(2, 3, 2, 24, {}, colours, mask) << clear;
    QTest::newRow("32-bit cursor") << cursor32 << clear;
    QTest::newRow("32-bit cursor, transparency in the mask only")
        << iconFile(2, 3, 2, 32, {}, colours, mask, 40, Alpha::Zero) << clear;
    QTest::newRow("32-bit cursor, no AND mask") << cutShort(cursor32, 8) << clear;
    QTest::newRow("32-bit cursor, AND mask short by a row") << cutShort(cursor32, 4) << clear;
    QTest::newRow("32-bit cursor, a nearly transparent pixel kept exact")
        << iconFile(2, 3, 2, 32, {}, colours, mask, 40, Alpha::Faint) << qRgba(201, 77, 13, 3);
    QTest::newRow("4-bit icon, BITMAPV5HEADER") << iconFile(1, 3, 2, 4, palette, indices, mask, 124) << clear;
    QTest::newRow("8-bit cursor, BITMAPV4HEADER") << iconFile(2, 3, 2, 8, palette, indices, mask, 108) << clear;
    QTest::newRow("24-bit cursor, BITMAPV5HEADER") << iconFile(2, 3, 2, 24, {}, colours, mask, 124) << clear;
    QTest::newRow("32-bit icon, BITMAPV5HEADER") << iconFile(1, 3, 2, 32, {}, colours, mask, 124) << clear;
    QTest::newRow("PNG icon") << png << clear;
    QTest::newRow("PNG icon whose entry ends before IEND") << cutShort(png, 12) << clear;
    QTest::newRow("PNG icon whose entry ends inside IEND") << cutShort(png, 5) << clear;
    QByteArray undercounted = png;
    putU32(undercounted, 14, 8 + 25 + 8); // the signature, IHDR, and IDAT's length and type
    QTest::newRow("PNG icon whose entry ends inside its image data") << undercounted << clear;
}

void TestPictures::everyDepth()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QRgb, corner);
    QString error;
    const auto decoded = decodeIconFile(bytes, &error);
    QVERIFY2(decoded, qPrintable(error));
    const QImage &image = decoded->image;
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    const QRgb expected[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(image.pixel(i % 3, i / 3), expected[i]);
    if (qAlpha(corner))
        QCOMPARE(image.pixel(2, 1), corner);
    else
        QCOMPARE(qAlpha(image.pixel(2, 1)), 0);
}

void TestPictures::hostileBytes_data()
{
    const QByteArray good = readFile(picture(QStringLiteral("チョーク.cur")));
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    QTest::newRow("empty") << QByteArray() << "ヘッダーが途中で切れています";
    QTest::newRow("truncated header") << good.left(10) << "ヘッダーが途中で切れています";
    QTest::newRow("truncated pixels") << good.left(good.size() - 1) << "画像のデータがファイルの外にあります";
    QByteArray huge = good;
    putU32(huge, 22 + 4, 65535);
    putU32(huge, 22 + 8, 2 * 65535);
    QTest::newRow("65535 x 65535 image") << huge << "画像の大きさが正しくありません";
    QByteArray farOffset = good;
    putU32(farOffset, 6 + 12, 0xFFFFFFF0u);
    QTest::newRow("offset past the end") << farOffset << "画像のデータがファイルの外にあります";
    QByteArray bigSize = good;
    putU32(bigSize, 6 + 8, 0xFFFFFFFFu);
    QTest::newRow("size wraps around") << bigSize << "画像のデータがファイルの外にあります";
    QByteArray depth = good;
    putU16(depth, 22 + 14, 7);
    QTest::newRow("depth 7") << depth << "読めない色数です";
    QByteArray compressed = good;
    putU32(compressed, 22 + 16, 2);
    QTest::newRow("compressed") << compressed << "圧縮されたビットマップは読めません";
    QByteArray hotspot = good;
    putU16(hotspot, 6 + 4, 40);
    QTest::newRow("hotspot outside") << hotspot << "ホットスポットが画像の外にあります";
    QByteArray notIcon = good;
    putU16(notIcon, 2, 3);
    QTest::newRow("wrong type") << notIcon << "アイコンでもカーソルでもありません";
    QByteArray headerSize = good;
    putU32(headerSize, 22, 0x7FFFFFFF);
    QTest::newRow("header larger than the file") << headerSize << "画素のデータが途中で切れています";
    QTest::newRow("50 MB") << QByteArray(50 << 20, '\0') << "ファイルが大きすぎます";
    QByteArray png = good.left(22);
    png += QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, 'x');
    putU32(png, 6 + 8, 48);
    QTest::newRow("PNG without its header") << png << "PNG のヘッダーを読めません";
    QByteArray bigPng = good.left(22);
    bigPng += QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\x2c\0\0\x01\x2c", 24) + QByteArray(40, '\0');
    putU32(bigPng, 6 + 8, 64);
    QTest::newRow("PNG of 300 x 300") << bigPng << "画像の大きさが正しくありません";
    QByteArray brokenPng = good.left(22);
    brokenPng += QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x20\0\0\0\x20", 24) + QByteArray(40, 'x');
    putU32(brokenPng, 6 + 8, 64);
    QTest::newRow("PNG with garbage after its header") << brokenPng << "PNG 画像を読めません";
    QByteArray colours = good;
    putU32(colours, 22 + 32, 17); // a 4-bit bitmap claiming 17 palette entries
    QTest::newRow("more colours than 4 bits hold") << colours << "色数より多くの色が並んでいます";
}

void TestPictures::hostileBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QString error;
    QVERIFY(!decodeIconFile(bytes, &error));
    QCOMPARE(error, why);
}

void TestPictures::hostileFiles_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("missing") << "missing";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("truncated header") << "truncated";
    QTest::newRow("a directory with the file's name") << "directory";
    QTest::newRow("no read permission") << "unreadable";
    QTest::newRow("50 MB file") << "huge";
    QTest::newRow("an icon where a cursor belongs") << "icon";
    QTest::newRow("symlink loop") << "loop";
}

void TestPictures::hostileFiles()
{
    QFETCH(QString, setup);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("チョーク.cur"));
    const QByteArray good = readFile(picture(QStringLiteral("チョーク.cur")));
    if (setup == QLatin1String("empty")) {
        QVERIFY(writeFile(path, {}));
    } else if (setup == QLatin1String("truncated")) {
        QVERIFY(writeFile(path, good.left(12)));
    } else if (setup == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path));
    } else if (setup == QLatin1String("unreadable")) {
#ifdef Q_OS_WIN
        QSKIP("Windows has no permission bit that takes reading away");
#else
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
#endif
        QVERIFY(writeFile(path, good));
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (setup == QLatin1String("huge")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(50 << 20));
    } else if (setup == QLatin1String("icon")) {
        QVERIFY(writeFile(path, readFile(picture(QStringLiteral("eraser.ico")))));
    } else if (setup == QLatin1String("loop")) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("a")), path));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("a"))));
    }
    CursorLoader loader;
    QString error;
    QVERIFY(!loader.load(systemPath(path), &error));
    QVERIFY(!error.isEmpty());
    // Once a good file is in place, it is used.
    QDir(path).removeRecursively();
    QFile::remove(path);
    QVERIFY(writeFile(path, good));
    QVERIFY(loader.load(systemPath(path), &error));
}

void TestPictures::replacedFileTakesEffect()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("黒板消し.cur"));
    QVERIFY(writeFile(path, readFile(picture(QStringLiteral("黒板消し.cur")))));
    CursorLoader loader;
    QString error;
    const PictureRef first = loader.load(systemPath(path), &error);
    QVERIFY(first);
    // Unchanged: not decoded again.
    QCOMPARE(loader.load(systemPath(path), &error), first);

    // Replaced by another cursor (renamed over it, as an installer does).
    const QString other = dir.filePath(QStringLiteral("new.cur"));
    QVERIFY(writeFile(other, readFile(picture(QStringLiteral("チョーク.cur")))));
    QVERIFY(renameOver(other, path));
    const PictureRef second = loader.load(systemPath(path), &error);
    QVERIFY(second);
    QVERIFY(second != first);
    QCOMPARE(static_cast<const QtPicture *>(second.get())->cursor.hotSpot(), QPoint(4, 27));

    // Removed: refused, then back.
    QVERIFY(QFile::remove(path));
    QVERIFY(!loader.load(systemPath(path), &error));
    QVERIFY(writeFile(path, readFile(picture(QStringLiteral("黒板消し.cur")))));
    QCOMPARE(static_cast<const QtPicture *>(loader.load(systemPath(path), &error).get())->cursor.hotSpot(),
             QPoint(15, 15));
}

void TestPictures::badFileIsNotReadAgain()
{
    // A corrupt file just under the size limit, as a broken download leaves it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("チョーク.cur"));
    QByteArray junk(1000 * 1000, 'x');
    QVERIFY(writeFile(path, junk));
    CursorLoader loader;
    QString error;
    QVERIFY(!loader.load(systemPath(path), &error));
    const QString firstError = error;
    QVERIFY(!firstError.isEmpty());
    const qint64 before = bytesRead();
    QVERIFY(before >= 0);
    for (int i = 0; i < 20; ++i) {
        error.clear();
        QVERIFY(!loader.load(systemPath(path), &error));
        QCOMPARE(error, firstError);
    }
    // The /proc read itself costs a little; twenty reads of the file would be 20 MB.
    QVERIFY2(bytesRead() - before < 100 * 1000, "the unchanged bad file was read again");

    // Replaced by a good one: used at the next call.
    const QString other = dir.filePath(QStringLiteral("new.cur"));
    QVERIFY(writeFile(other, readFile(picture(QStringLiteral("チョーク.cur")))));
    QVERIFY(renameOver(other, path));
    QVERIFY(loader.load(systemPath(path), &error));
}

void TestPictures::fifoSwappedInNeverBlocks()
{
    // Another process renames a FIFO and a good file over the cursor file, again and again,
    // while strokes load it. Loading must never wait on the FIFO.
#ifdef Q_OS_WIN
    QSKIP("Windows has no FIFOs to put in a file's place");
#else
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("チョーク.cur")));
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    const QByteArray staged = QFile::encodeName(dir.filePath(QStringLiteral("staged")));
    const QByteArray good = readFile(picture(QStringLiteral("チョーク.cur")));
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    QVERIFY(writeFile(QFile::decodeName(path), good));

    // Counted before the swapper runs: it holds a file open now and then.
    const int descriptors = openDescriptors();
    std::atomic<bool> stop {false};
    std::atomic<bool> rescued {false};
    std::atomic<int> unlinked {0};
    std::thread swapper([&] {
        for (int i = 0; !stop; ++i) {
            if (i % 2) {
                // The FIFO keeps its own name too.
                unlinked += ::link(fifo.constData(), staged.constData()) != 0;
            } else {
                QFile file(QFile::decodeName(staged));
                if (file.open(QIODevice::WriteOnly))
                    file.write(good);
            }
            ::rename(staged.constData(), path.constData());
        }
    });
    // Should a load block on the FIFO, open it as a writer so the load returns and the test fails
    // instead of hanging.
    std::atomic<bool> done {false};
    std::thread watchdog([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (!done) {
            rescued = true;
            const int fd = ::open(fifo.constData(), O_RDWR | O_NONBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (fd >= 0)
                ::close(fd);
        }
    });

    CursorLoader loader;
    int loaded = 0;
    int refused = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int i = 0; i < 200000 && std::chrono::steady_clock::now() < end; ++i) {
        QString error;
        if (loader.load(path, &error))
            ++loaded;
        else
            ++refused;
    }
    done = true;
    stop = true;
    swapper.join();
    watchdog.join();
    QCOMPARE(unlinked, 0); // the FIFO was swapped in every other time
    QVERIFY2(!rescued, "a load blocked on the FIFO");
    QVERIFY(loaded > 0);
    QVERIFY(refused > 0);
    QCOMPARE(openDescriptors(), descriptors);
#endif
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
