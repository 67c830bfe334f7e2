// libFuzzer target over the JPEG decoder, the source segment reader, the output composer and
// the lossless save, all on bytes in memory.
#include "metadata/JpegCodec.h"
#include "metadata/JpegSegments.h"
#include "metadata/LosslessJpeg.h"

#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tess::metadata;

namespace {

const QByteArray& tinyEncoding()
{
    static const QByteArray bytes = [] {
        QImage picture(8, 8, QImage::Format_BGR888);
        picture.fill(Qt::gray);
        return JpegEncoder(picture, 75).encode().jpeg;
    }();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    const LoadResult decoded = decodeJpeg(bytes);
    if (decoded.ok() != decoded.error.isEmpty())
        std::abort(); // a result is either a picture or a reason
    if (decoded.ok() && decoded.image.format() != QImage::Format_BGR888)
        std::abort();

    TimgData source;
    source.loadSourceSegments(bytes);
    const QSize pictureSize = decoded.ok() ? decoded.image.size() : QSize(8, 8);
    const QByteArray out = source.composeJpeg(tinyEncoding(), pictureSize, SizeRecord::PictureSize,
                                              OrientationRecord::Upright);
    if (!out.startsWith("\xFF\xD8"))
        std::abort();
    // The input as an encoder's output: finding where its image data begins.
    source.composeJpeg(bytes, pictureSize, SizeRecord::PictureSize, OrientationRecord::AsStored);

    if (decoded.ok() && qint64(decoded.image.width()) * decoded.image.height() <= 256 * 256) {
        const EncodeResult again = JpegEncoder(decoded.image, 90).encode();
        if (!again.ok() || !decodeJpeg(again.jpeg).ok())
            std::abort();
        // The input as a source of the lossless save, with a stamp in one corner.
        QImage stamped = decoded.image.copy();
        stamped.setPixel(0, 0, qRgb(255, 0, 0));
        const LosslessEncoding kept = encodeLosslessJpeg(bytes, decoded.image, stamped, 90);
        if (!kept.ok() && kept.error.isEmpty())
            std::abort(); // a refusal always says why
        if (kept.ok() && !decodeJpeg(kept.jpeg).ok())
            std::abort();
    }
    return 0;
}
