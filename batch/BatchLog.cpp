#include "batch/BatchLog.h"

#include <QFile>

namespace tess::batch {

void BatchLog::clear() const
{
    QFile::remove(m_path);
}

bool BatchLog::append(const QString& message) const
{
    QFile file(m_path);
    // Unbuffered: what write() reports is on the file, and nothing is left to flush at close.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 end = file.size();
    const QByteArray bytes =
        line(m_clock.now(), m_clock.timeSeparator(), message).toUtf8() + "\r\n";
    if (file.write(bytes) == bytes.size())
        return true;
    file.resize(end); // on a full disk the line is lost whole, not cut
    return false;
}

QString BatchLog::line(const QDateTime& time, const QString& timeSeparator, const QString& message)
{
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    const QDate d = time.date();
    const QTime t = time.time();
    return QStringLiteral("%1-%2-%3 ")
               .arg(d.year(), 4, 10, QLatin1Char('0'))
               .arg(two(d.month()), two(d.day())) +
           two(t.hour()) + timeSeparator + two(t.minute()) + timeSeparator + two(t.second()) +
           QStringLiteral(" - ") + message;
}

namespace {

QString cut(const QString& value, qsizetype limit)
{
    if (value.size() <= limit)
        return value;
    qsizetype keep = limit;
    if (value.at(keep - 1).isHighSurrogate())
        --keep; // never half a character
    return value.left(keep) + QStringLiteral("...");
}

} // namespace

QString logValue(const QString& value)
{
    return cut(value, LogValueLimit);
}

namespace messages {

QString saved(const QString& name, const QString& destinationFolder)
{
    const QString shown = logValue(name);
    return shown + QStringLiteral(" stamped successfully and saved in ") +
           logValue(destinationFolder) + shown + u'.';
}

QString skipped(const QString& name)
{
    return QStringLiteral("WARNING: ") + logValue(name) +
           QStringLiteral(" skipped because it already exists in destination folder.");
}

QString failed(const QString& name, const QString& error)
{
    return QStringLiteral("ERROR: ") + logValue(name) +
           QStringLiteral(" stamping failed with error: ") + cut(error, 2 * LogValueLimit);
}

QString savePath(bool lossless, const QString& whyNotLossless)
{
    return lossless ? QStringLiteral(" Own compression kept outside the stamp.")
                    : QStringLiteral(" Compressed anew: ") + whyNotLossless + u'.';
}

} // namespace messages

} // namespace tess::batch
