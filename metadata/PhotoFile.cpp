#include "metadata/PhotoFile.h"

#include "metadata/JpegCodec.h"
#include "metadata/JpegSegments.h"
#include "metadata/LosslessJpeg.h"

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <exception>

namespace tess::metadata {

namespace {

constexpr qint64 kMaxPixels = 400'000'000;
// Qt's readers work on 32-bit pixels before the conversion to 24 bits.
constexpr int kReaderAllocationLimitMb = int(kMaxPixels * 4 / (1024 * 1024)) + 1;
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
    reader.setAllocationLimit(kReaderAllocationLimitMb);
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 pixels = qint64(size.width()) * size.height();
        const qint64 budget = std::max(kReaderMinPixels, info.size() * kReaderPixelsPerByte);
        if (pixels > kMaxPixels || pixels > budget)
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

} // namespace

LoadResult loadPhoto(const QString& path)
{
    try {
        const QFileInfo info(path);
        if (!info.isFile())
            return {QImage(), QStringLiteral("The file does not exist")};
        if (isJpegName(info))
            return decodeJpegFile(path);
        return loadWithQt(info);
    } catch (const std::bad_alloc&) {
        return {QImage(), QStringLiteral("Not enough memory")};
    }
}

bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath)
{
    return saveStampedJpeg(picture, quality, sourcePath, destPath, {});
}

bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath, const std::function<bool(int, int)>& progress)
{
    try {
        // The source's segments are in memory and the source closed before anything is
        // written, so a save over the source keeps its metadata.
        TimgData source;
        source.loadSourceSegments(sourcePath);
        JpegEncoder encoder(picture, quality);
        encoder.setProgress(progress);
        return source.writeJpegWithSegments(encoder, destPath, true);
    } catch (const std::exception&) {
        return false; // out of memory: the destination has not been replaced
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
            result.ok = result.lossless = true;
            return result;
        }
        result.whyNotLossless = lossless.reason;
    }
    result.ok = saveStampedJpeg(picture, quality, sourcePath, destPath);
    return result;
}

} // namespace tess::metadata
