#pragma once

#include <QImage>
#include <QString>
#include <functional>

namespace tess::metadata {

struct LoadResult
{
    QImage image;  ///< Format_BGR888 on success, null on failure
    QString error; ///< why loading failed; empty on success
    bool ok() const { return !image.isNull(); }
};

/// Loads a photo file into a 24-bit blue-green-red bitmap. ".jpg"/".jpeg" (any case) go
/// through libjpeg; other picture formats through Qt's image readers. Never throws.
LoadResult loadPhoto(const QString& path);

/// Writes \a picture as JPEG at \a quality (1..100) to \a destPath, carrying the metadata
/// segments of \a sourcePath. Writes a temporary file beside the destination and renames it
/// over the destination when complete. Returns false on any failure; never throws.
bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath);

/// The same, calling \a progress after each band of encoded rows (rows done, rows in all);
/// when it returns false the save stops and fails, leaving the destination untouched.
bool saveStampedJpeg(const QImage& picture, int quality, const QString& sourcePath,
                     const QString& destPath, const std::function<bool(int, int)>& progress);

/// How saveStampedPhoto saved a photo.
struct StampedSave
{
    bool ok = false;
    bool lossless = false;  ///< only the blocks under the stamp were encoded anew
    QString whyNotLossless; ///< when the normal save ran in place of an asked-for lossless one
};

/// Saves \a picture as saveStampedJpeg does, or, given \a unstamped (the photo as loaded
/// from \a sourcePath, unadjusted, of which \a picture differs only by the stamp), keeps the
/// source's own compression outside the stamp (see encodeLosslessJpeg). When the source
/// cannot be kept that way the normal save runs and says why. Never throws.
StampedSave saveStampedPhoto(const QImage& picture, int quality, const QString& sourcePath,
                             const QString& destPath, const QImage& unstamped);

} // namespace tess::metadata
