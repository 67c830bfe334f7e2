#pragma once

#include "platform/Clock.h"

#include <QString>

namespace tess::batch {

/// The log's file name in the data folder.
inline const QString BatchLogName = QStringLiteral("batchlog.txt");

/// The result log of a batch run: one line per event, the local date and time
/// ("YYYY-MM-DD HH:NN:SS", the colons being the system's time separator), " - " and the
/// message, each line ending in CR LF. The file is opened and closed for every line, so it
/// is complete up to the last event at every moment of a run.
class BatchLog
{
public:
    BatchLog(QString path, const platform::Clock& clock) : m_path(std::move(path)), m_clock(clock)
    {}

    const QString& path() const { return m_path; }

    /// Deletes the log; a failure is ignored.
    void clear() const;
    /// Appends one line, creating the file if needed. False when the line could not be
    /// written; it is then lost whole, never cut.
    bool append(const QString& message) const;

    /// The line for \a message written at \a time, without the line break.
    static QString line(const QDateTime& time, const QString& timeSeparator,
                        const QString& message);

private:
    QString m_path;
    const platform::Clock& m_clock;
};

/// The most characters of one value (a name, a folder, a profile text) that a log line
/// quotes; a longer value is cut there and ends in "...".
inline constexpr qsizetype LogValueLimit = 256;

/// \a value as a log line quotes it: at most LogValueLimit characters, then "..." if cut.
QString logValue(const QString& value);

/// The messages of the log; \a name is a source file's name without its folder. Every value
/// is quoted through logValue, an error's own message at most twice as long.
namespace messages {
inline const QString Started = QStringLiteral("Orvane Tessarine Batch Process Started.");
inline const QString Stopped = QStringLiteral("Orvane Tessarine Batch Process Stopped by User.");
inline const QString Completed = QStringLiteral("Orvane Tessarine Batch Process Completed.");
QString saved(const QString& name, const QString& destinationFolder);
QString skipped(const QString& name);
QString failed(const QString& name, const QString& error);
/// Added to the saved line when the photo's own compression is to be kept: which save ran.
QString savePath(bool lossless, const QString& whyNotLossless);
} // namespace messages

} // namespace tess::batch
