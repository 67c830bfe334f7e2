#pragma once

#include "metadata/PhotoFile.h"
#include "platform/PhotoLimits.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class QIODevice;

namespace tess::metadata {

/// What a decoding may cost. A file is trusted with no more memory and work than its picture
/// data can plausibly describe, and hostile streams (endless scans, floods of corrupt data) are
/// cut off. The picture data are the entropy-coded bytes after each SOS marker; segments (COM,
/// APPn, tables) are skipped, so padding them buys nothing.
struct DecodeLimits
{
    qint64 maxPixels = platform::MaxPhotoPixels;
    /// Memory a decoding may take per byte of picture data: the 24-bit picture (3 bytes a
    /// pixel) and, for a stream of several scans, libjpeg's coefficients (2 bytes each). 256
    /// pays for 85 pixels a byte, what a uniform grey picture compresses to with the standard
    /// Huffman tables (6 bits per 8 x 8 block; colour takes more); camera photos hold 2 to 50
    /// pixels a byte. A stream claiming more is refused before any picture memory is
    /// allocated.
    qint64 memoryPerDataByte = 256;
    /// What any stream may cost, however little data it holds: a picture of 4 million pixels
    /// in every layout.
    qint64 minMemory = qint64(48) << 20;
    /// Every scan of a multi-scan (progressive) stream passes over all of its picture, at up
    /// to about a nanosecond a pixel. The scans times the pixels may reach minScanWork, or
    /// scanWorkPerDataByte for each byte of picture data (a real photo of 400 million pixels
    /// in 10 scans holds far more than the 4 MB this asks).
    qint64 minScanWork = qint64(1) << 30;
    qint64 scanWorkPerDataByte = 1024;
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
/// Why decodeJpegFile would refuse the file at \a path, judged from its header and the size
/// of its picture data without decoding anything (other readers can be spared a hostile
/// file this way); empty when it would decode.
QString jpegRefusal(const QString& path, const DecodeLimits& limits = {});
/// The same for a stream in memory.
QString jpegStreamRefusal(QByteArrayView bytes, const DecodeLimits& limits = {});

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
