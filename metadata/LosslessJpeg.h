#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

namespace tess::metadata {

/// The output of a lossless encoding: the whole file, or why the source cannot be kept.
struct LosslessEncoding
{
    QByteArray jpeg; ///< the complete file (metadata segments included); empty when refused
    QString error;   ///< why the source's own compression could not be kept
    /// The restart intervals the stamp does not touch were copied from the source as they
    /// are (else every coefficient was read and written again).
    bool intervalsCopied = false;
    bool ok() const { return !jpeg.isEmpty(); }
};

/// Re-encodes the JPEG file \a source with only the blocks under the stamp changed.
///
/// \a unstamped is the source as loaded (decoded, turned upright by its orientation tag) and
/// \a stamped the same picture with the stamp blended in. Every MCU in which the two differ is
/// compressed again from \a stamped, with the source's quantization tables, sampling and
/// colour space, and quantized no finer than \a quality (1..100) asks; every other DCT block
/// is the source's own, unchanged. The stored pixels and the orientation tag are kept: the
/// changed region is turned back into the stored frame. The source's Huffman tables and
/// restart interval are kept where they can code every block (otherwise they are optimised);
/// a progressive source stays progressive. The metadata segments are those the normal save
/// writes. Refused (with the reason): arithmetic coding, CMYK/YCCK or other colour layouts,
/// other than 8 bits a sample, damaged data, and pictures not the photo's size. Never throws.
LosslessEncoding encodeLosslessJpeg(const QByteArray& source, const QImage& unstamped,
                                    const QImage& stamped, int quality);

/// How saveLosslessJpeg ended.
struct LosslessSave
{
    bool saved = false;
    /// Not saved because the source cannot be kept this way (the normal save may run); else
    /// an unsaved result is a failed write.
    bool refused = false;
    QString error; ///< when not saved: why (the destination is left as it was)
    bool ok() const { return saved; }
};

/// Reads \a sourcePath, encodes it with encodeLosslessJpeg and writes \a destPath safely
/// (a temporary file renamed over the destination when complete). Never throws.
LosslessSave saveLosslessJpeg(const QImage& unstamped, const QImage& stamped, int quality,
                              const QString& sourcePath, const QString& destPath);

/// The smallest rectangle holding every pixel in which two pictures of one size and format
/// differ; null when they are equal.
QRect changedRect(const QImage& a, const QImage& b);

} // namespace tess::metadata
