// libFuzzer target: any bytes given as a cursor file must be decoded or refused, never crash,
// hang or allocate without bound. The pixels go through Qt's ICO and PNG readers, so those
// must be there: without them every input would be refused and the run would prove nothing.
#include "pictures/iconfile.h"

#include <QImageReader>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    if (!formats.contains("ico") || !formats.contains("png")) {
        std::fprintf(stderr, "Qt's ico and png image readers are missing\n");
        __builtin_trap();
    }
    // As the program starts.
    QImageReader::setAllocationLimit(kDecodeAllocationLimitMiB);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto decoded = decodeIconFile(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (decoded && (decoded->image.width() > 256 || decoded->image.height() > 256))
        __builtin_trap();
    return 0;
}
