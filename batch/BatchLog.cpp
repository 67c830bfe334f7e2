#include "batch/BatchLog.h"

#include <QFile>

namespace tess::batch {

void BatchLog::clear() const
{
    QFile::remove(m_path);
}

void BatchLog::append(const QString& message) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line(m_clock.now(), m_clock.timeSeparator(), message).toUtf8() + "\r\n");
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

namespace messages {

QString saved(const QString& name, const QString& destinationFolder)
{
    return name + QStringLiteral(" stamped successfully and saved in ") + destinationFolder + name +
           u'.';
}

QString skipped(const QString& name)
{
    return QStringLiteral("WARNING: ") + name +
           QStringLiteral(" skipped because it already exists in destination folder.");
}

QString failed(const QString& name, const QString& error)
{
    return QStringLiteral("ERROR: ") + name + QStringLiteral(" stamping failed with error: ") +
           error;
}

QString savePath(bool lossless, const QString& whyNotLossless)
{
    return lossless ? QStringLiteral(" Own compression kept outside the stamp.")
                    : QStringLiteral(" Compressed anew: ") + whyNotLossless + u'.';
}

} // namespace messages

} // namespace tess::batch
