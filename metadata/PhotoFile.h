#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace tess::metadata {

struct LoadResult
{
    QImage image;  ///< Format_BGR888 on success, null on failure
    QString error; ///< why loading failed; empty on success
    bool ok() const { return !image.isNull(); }
};

/// Loads a photo file into a 24-bit blue-green-red bitmap, upright: a recorded EXIF
/// Orientation is applied to the stored pixels. ".jpg"/".jpeg" (any case) go through
/// libjpeg; other picture formats through Qt's image readers. Never throws.
LoadResult loadPhoto(const QString& path);

/// The size of the picture loadPhoto gives, read from the file's header without decoding
/// it; invalid when the file is not a picture Qt's readers know.
QSize readUprightSize(const QString& path);

/// Writes \a picture as JPEG at \a quality (1..100) to \a destPath, carrying the metadata
/// segments of \a sourcePath, through platform::writeFileSafely: the destination ends up
/// either untouched or completely replaced. The picture is taken to be the upright picture
/// loadPhoto gave for the source: the saved metadata records orientation 1 and the picture's
/// size. Returns false on any failure, with the reason (the system's, e.g. "No space left on
/// device") in \a error; never throws.
bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath, QString* error = nullptr);

/// The same, calling \a progress after each band of encoded rows (rows done, rows in all);
/// when it returns false the save stops and fails, leaving the destination untouched.
bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath, const std::function<bool(int, int)>& progress,
                     QString* error = nullptr);

/// How saveStampedPhoto saved a photo.
struct StampedSave
{
    bool saved = false;
    bool lossless = false;  ///< only the blocks under the stamp were encoded anew
    QString whyNotLossless; ///< when the normal save ran in place of an asked-for lossless one
    QString error;          ///< why the save failed (the system's reason)
    bool ok() const { return saved; }
};

/// Saves \a picture as saveStampedJpeg does, or, given \a unstamped (the photo as loaded
/// from \a sourcePath, unadjusted, of which \a picture differs only by the stamp), keeps the
/// source's own compression outside the stamp (see encodeLosslessJpeg). When the source
/// cannot be kept that way the normal save runs and says why; a failed write is reported as
/// it is, not tried again. Never throws.
StampedSave saveStampedPhoto(const QImage& picture, int quality, const QString& sourcePath,
                             const QString& destPath, const QImage& unstamped);

} // namespace tess::metadata
