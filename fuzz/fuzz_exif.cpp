// libFuzzer target: readExif over arbitrary file bytes must neither crash, read outside the
// input, nor hang.
#include "metadata/Exif.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tess::metadata::TExif exif;
    exif.readExif(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
