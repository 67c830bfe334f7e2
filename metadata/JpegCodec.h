#pragma once

#include "metadata/PhotoFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class QIODevice;

namespace tess::metadata {

/// The most pixels a photo may have, whatever reads it.
inline constexpr qint64 kMaxPhotoPixels = 400'000'000;

/// What a decoding may cost. A file is trusted with no more memory than its bytes can
/// plausibly describe, and hostile streams (endless scans, floods of corrupt data) are cut off.
struct DecodeLimits
{
    qint64 maxPixels = kMaxPhotoPixels;
    /// A JPEG needs at least about one bit per 8 x 8 block; 1024 pixels per byte of file is a
    /// generous bound on real compression. A stream claiming more is refused before any
    /// picture memory is allocated (small files may always claim minPixels).
    qint64 pixelsPerByte = 1024;
    qint64 minPixels = qint64(1) << 22;
    int maxScans = 1000;
    /// Corrupt-data warnings allowed in the header, and in the image data at least; a larger
    /// picture may warn once per 8 x 8 block.
    long maxWarnings = 1000;
    long maxLibjpegMemory = 1L << 30; ///< libjpeg's own working memory (progressive buffers)
};

/// Decodes a JPEG stream into a Format_BGR888 picture: colour, greyscale, CMYK/YCCK (Adobe
/// inverted or not), baseline or progressive. Missing rows of a truncated stream are grey.
/// Never throws; a stream that cannot be decoded gives an error message.
LoadResult decodeJpeg(QByteArrayView bytes, const DecodeLimits& limits = {});
/// Same, reading the stream from \a path in chunks.
LoadResult decodeJpegFile(const QString& path, const DecodeLimits& limits = {});

/// Called after each band of encoded rows with the rows done so far and the total; returning
/// false stops the encoding, which then fails. Must not throw.
using EncodeProgress = std::function<bool(int rowsDone, int rowsTotal)>;

struct EncodeResult
{
    QByteArray jpeg; ///< the complete JPEG stream (SOI .. EOI); empty on failure
    QString error;   ///< why encoding failed; empty on success
    bool ok() const { return error.isEmpty(); }
};

/// Encodes a picture as a baseline JPEG with libjpeg's default settings and its standard
/// quality scaling. Quality is clamped into 1..100.
class JpegEncoder
{
public:
    JpegEncoder(const QImage& picture, int quality);

    void setProgress(EncodeProgress progress) { m_progress = std::move(progress); }
    QSize size() const { return m_picture.size(); }
    int quality() const { return m_quality; }

    /// Encodes into memory. Never throws.
    EncodeResult encode() const;

private:
    QImage m_picture;
    int m_quality;
    EncodeProgress m_progress;
};

} // namespace tess::metadata
