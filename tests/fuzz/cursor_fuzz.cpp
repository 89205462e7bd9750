// libFuzzer target: any bytes given as a cursor file must be decoded or refused, never crash,
// hang or allocate without bound.
#include "platform/iconfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto decoded = decodeIconFile(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (decoded && (decoded->image.width() > 256 || decoded->image.height() > 256))
        __builtin_trap();
    return 0;
}
