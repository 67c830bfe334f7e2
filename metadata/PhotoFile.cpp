#include "metadata/PhotoFile.h"

#include "metadata/JpegCodec.h"
#include "metadata/JpegSegments.h"
#include "metadata/LosslessJpeg.h"
#include "metadata/Orientation.h"
#include "platform/PhotoLimits.h"

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <exception>

namespace tess::metadata {

namespace {

// Qt's readers work on 32-bit pixels before the conversion to 24 bits.
constexpr int kReaderAllocationLimitMb = int(platform::MaxPhotoPixels * 4 / (1024 * 1024)) + 1;
// Lossless formats compress plain areas far better than JPEG (1-bit PNG: ~8000 pixels a byte).
constexpr qint64 kReaderPixelsPerByte = 8192;
constexpr qint64 kReaderMinPixels = qint64(1) << 22;

bool isJpegName(const QFileInfo& info)
{
    const QString suffix = info.suffix();
    return suffix.compare(u"jpg", Qt::CaseInsensitive) == 0 ||
           suffix.compare(u"jpeg", Qt::CaseInsensitive) == 0;
}

/// Flattens a picture with transparency onto white, as it shows on a plain page.
QImage toBgr888(QImage image)
{
    if (image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return image;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = line[x];
                const int under = 255 - qAlpha(p);
                line[x] = qRgb(qRed(p) + under, qGreen(p) + under, qBlue(p) + under);
            }
        }
    }
    image.convertTo(QImage::Format_BGR888);
    return image;
}

LoadResult loadWithQt(const QFileInfo& info)
{
    QImageReader reader(info.filePath());
    reader.setAutoTransform(true); // upright, as the JPEG path gives it
    reader.setAllocationLimit(kReaderAllocationLimitMb);
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 pixels = qint64(size.width()) * size.height();
        const qint64 budget = std::max(kReaderMinPixels, info.size() * kReaderPixelsPerByte);
        if (pixels > platform::MaxPhotoPixels || pixels > budget)
            return {QImage(), QStringLiteral("The picture is too large to open")};
    }
    QImage image = reader.read();
    if (image.isNull())
        return {QImage(), reader.errorString()};
    image = toBgr888(std::move(image));
    if (image.isNull())
        return {QImage(), QStringLiteral("Not enough memory for the picture")};
    return {image, QString()};
}

/// The orientation recorded in the JPEG file at \a path: 1..8, 1 when none or unknown.
int jpegOrientation(const QString& path)
{
    TimgData metadata;
    metadata.loadSourceSegments(path);
    return metadata.orientation();
}

LoadResult loadJpeg(const QString& path)
{
    LoadResult result = decodeJpegFile(path);
    if (!result.ok())
        return result;
    result.image = uprightPicture(result.image, jpegOrientation(path));
    if (result.image.isNull())
        result.error = QStringLiteral("Not enough memory for the picture");
    return result;
}

} // namespace

QSize readUprightSize(const QString& path)
{
    QImageReader reader(path);
    const QSize stored = reader.size();
    if (!stored.isValid())
        return {};
    if (isJpegName(QFileInfo(path)))
        return uprightSize(stored, jpegOrientation(path));
    reader.setAutoTransform(true);
    return reader.transformation() & QImageIOHandler::TransformationRotate90 ? stored.transposed()
                                                                             : stored;
}

LoadResult loadPhoto(const QString& path)
{
    try {
        const QFileInfo info(path);
        if (!info.isFile())
            return {QImage(), QStringLiteral("The file does not exist")};
        if (isJpegName(info))
            return loadJpeg(path);
        return loadWithQt(info);
    } catch (const std::bad_alloc&) {
        return {QImage(), QStringLiteral("Not enough memory")};
    }
}

bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath, QString* error)
{
    return saveStampedJpeg(picture, quality, sourcePath, destPath, EncodeProgress(), error);
}

bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath, const std::function<bool(int, int)>& progress,
                     QString* error)
{
    try {
        // The source's segments are in memory and the source closed before anything is
        // written, so a save over the source keeps its metadata.
        TimgData source;
        source.loadSourceSegments(sourcePath);
        JpegEncoder encoder(picture, quality);
        encoder.setProgress(progress);
        return source.writeJpegWithSegments(encoder, destPath, SizeRecord::PictureSize,
                                            OrientationRecord::Upright, error);
    } catch (const std::exception&) {
        if (error)
            *error = QStringLiteral("Not enough memory");
        return false; // the destination has not been replaced
    }
}

StampedSave saveStampedPhoto(const QImage& picture, int quality, const QString& sourcePath,
                             const QString& destPath, const QImage& unstamped)
{
    StampedSave result;
    if (!unstamped.isNull()) {
        const LosslessSave lossless =
            saveLosslessJpeg(unstamped, picture, quality, sourcePath, destPath);
        if (lossless.saved) {
            result.saved = result.lossless = true;
            return result;
        }
        if (!lossless.refused) { // the write failed: a second one would fail the same way
            result.error = lossless.error;
            return result;
        }
        result.whyNotLossless = lossless.error;
    }
    result.saved = saveStampedJpeg(picture, quality, sourcePath, destPath, &result.error);
    return result;
}

} // namespace tess::metadata
