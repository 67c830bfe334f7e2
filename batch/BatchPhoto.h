#pragma once

#include "batch/BatchSettings.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <optional>

namespace tess::platform {
class Clock;
}

namespace tess::batch {

class BatchLog;

/// A photo that cannot be stamped: a value that is no integer, a file that cannot be
/// loaded. The message is what the log line shows.
struct BatchError
{
    QString message;
};

/// \a text as a decimal 32-bit integer; throws BatchError "'text' is not a valid integer
/// value" otherwise.
int batchInteger(const QString& text);

/// The stamp lines of one photo: the expansion of every ticked mask with the photo's own
/// values (\a values from batchPhotoValues), leaving out empty ones; one empty line for none.
QStringList batchStampLines(const QList<StampText>& entries,
                            const stamptext::PhotoValueTable& values);

/// The values a mask may show for the photo at \a source: its EXIF fields, read anew
/// (every EXIF tag empty without EXIF data), its size, file name and modification time, and
/// the clock at this moment, dates written with the settings' four format indices.
stamptext::PhotoValueTable batchPhotoValues(const QString& source, QSize photoSize,
                                            const BatchSettings& settings,
                                            const platform::Clock& clock);

/// The batch form of the mask expansion: \a mask with the values of the photo at \a source.
QString expandBatchMask(const QString& source, QSize photoSize, const QString& mask,
                        const BatchSettings& settings, const platform::Clock& clock);

/// Where and how the stamp lines go on one photo.
struct BatchLayout
{
    QFont font;
    int outlineWidth = 0;
    int lineHeight = 0;
    std::optional<QPoint> anchor; ///< nothing for a position text outside the anchor table
};

/// The font, outline and anchor of \a lines on a photo of \a photoSize. "Custom" puts the
/// block at the same fraction of every photo: customX / customXMax of the width and
/// customY / customYMax of the height, (0, 0) when either ratio cannot be formed.
/// Throws BatchError for a font size, outline width or border width that is no integer and
/// for a zero reference height with proportional size on.
BatchLayout batchStampLayout(QSize photoSize, const BatchSettings& settings,
                             const QStringList& lines);

/// \a photo adjusted as keep flags 2 and 4 allow, with \a lines drawn and blended in at the
/// low 8 bits of the opacity. Throws BatchError as batchStampLayout does, for an opacity
/// that is no integer, and when the pictures cannot be made.
QImage renderBatchPhoto(const QImage& photo, const BatchSettings& settings,
                        const QStringList& lines);

/// Everything stampBatchPhoto needs besides the source.
struct BatchPhotoContext
{
    const BatchSettings& settings;
    QString destinationFolder; ///< ends with a path separator
    bool overwrite = false;
    const platform::Clock& clock;
    const BatchLog& log;
    bool keepOwnCompression = false; ///< the lossless save, for photos not adjusted
};

/// Stamps the photo at \a source, saves the stamped copy under the source's name in the
/// destination folder with the source's metadata, and logs what happened. True when the
/// copy was saved; false, with a warning line, when it exists and overwriting is off, or
/// with an error line when any step failed. Never throws.
bool stampBatchPhoto(const QString& source, const BatchPhotoContext& context);

} // namespace tess::batch
