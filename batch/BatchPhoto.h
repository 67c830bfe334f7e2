#pragma once

#include "batch/BatchSettings.h"
#include "platform/Clock.h"

#include <QImage>
#include <QMutex>
#include <QSet>
#include <QStringList>

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

/// The window's stamp attributes that draw \a settings on a photo of \a photoSize, so that
/// the batch and the window share one renderer. The batch's own rules are applied here:
/// keep flags 2 and 4 switch the effect and brightness/contrast; the outline width is any
/// integer; "Custom" puts the block at the same fraction of every photo, customX / customXMax
/// of the width and customY / customYMax of the height, (0, 0) when either ratio cannot be
/// formed. Throws BatchError for a font size, outline width, border width (at a corner) or
/// opacity that is no integer and for a zero reference height with proportional size on.
StampAttributes batchStampAttributes(QSize photoSize, const BatchSettings& settings);

/// \a photo stamped with \a lines through the window's renderer. Throws BatchError as
/// batchStampAttributes does, and when the pictures cannot be made. The rvalue form works
/// on the photo's own pixels when it holds them alone.
QImage renderBatchPhoto(const QImage& photo, const BatchSettings& settings,
                        const QStringList& lines);
QImage renderBatchPhoto(QImage&& photo, const BatchSettings& settings, const QStringList& lines);

/// The destination files one run has written; photos stamped at the same time share it.
class WrittenDestinations
{
public:
    bool contains(const QString& path) const;
    void insert(const QString& path);

private:
    mutable QMutex m_mutex;
    QSet<QString> m_paths;
};

/// One reading of a clock, kept: the values of a photo stamped away from the window's
/// thread come from the moment the run handed the photo over.
class ClockReading : public platform::Clock
{
public:
    explicit ClockReading(const platform::Clock& clock)
        : m_now(clock.now()), m_dateSeparator(clock.dateSeparator()),
          m_timeSeparator(clock.timeSeparator())
    {}
    QDateTime now() const override { return m_now; }
    QString dateSeparator() const override { return m_dateSeparator; }
    QString timeSeparator() const override { return m_timeSeparator; }

private:
    QDateTime m_now;
    QString m_dateSeparator;
    QString m_timeSeparator;
};

/// Everything stampBatchPhoto needs besides the source.
struct BatchPhotoContext
{
    const BatchSettings& settings;
    QString destinationFolder; ///< ends with a path separator
    bool overwrite = false;
    const platform::Clock& clock;
    const BatchLog& log;
    /// The run's written destinations: a copy this run has written is never replaced.
    WrittenDestinations* written = nullptr;
    bool keepOwnCompression = false; ///< the lossless save, for photos not adjusted
};

/// What became of one photo: whether its copy was saved, and the log's message for it.
struct BatchOutcome
{
    bool saved = false;
    QString message;
};

/// Stamps the photo at \a source and saves the stamped copy under the source's name in the
/// destination folder with the source's metadata. Saved, with the success message; not
/// saved, with the warning message, when the destination exists and overwriting is off or
/// this run has written it already; not saved, with an error message, when any step failed.
/// Writes no log line and touches nothing but the files and \a context.written, so photos
/// may be stamped on several threads at once. Never throws.
BatchOutcome stampBatchPhotoQuietly(const QString& source, const BatchPhotoContext& context);

/// The same, appending the message to the log; true when the copy was saved.
bool stampBatchPhoto(const QString& source, const BatchPhotoContext& context);

} // namespace tess::batch
