#include "stamptext/PhotoValues.h"

#include "metadata/Exif.h"
#include "stamptext/StampMask.h"

#include <QFileInfo>

namespace tess::stamptext {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The 27 EXIF values, in the order of stampTags().
QStringList exifValues(const metadata::TExif& e, const DateFormats& formats,
                       const Separators& separators)
{
    return {
        e.apertureText,
        e.artist,
        e.compressedBppText,
        e.copyrightText,
        formatExifDate(e.dateTimeDigitized, formats.created, separators),
        formatExifDate(e.dateTime, formats.dateTime, separators),
        formatExifDate(e.dateTimeOriginal, formats.original, separators),
        e.exposureProgramText,
        e.exposureTimeText,
        e.flashText,
        e.fNumberText,
        e.imageDescription,
        QString::number(e.isoSpeed),
        e.lightSourceText,
        e.make,
        e.maxApertureText,
        e.meteringModeText,
        QString::number(e.meteringModeCode),
        e.model,
        e.orientationText,
        QString::number(e.pixelXDimension),
        QString::number(e.pixelYDimension),
        e.shutterSpeedText,
        e.software,
        e.userComment,
        QString::number(e.xResolution),
        QString::number(e.yResolution),
    };
}

} // namespace

void PhotoValueTable::append(const QString& tag, const QString& value)
{
    m_lines.append(tag + u'=' + value);
}

QString PhotoValueTable::valueOf(const QString& tag) const
{
    for (const QString& line : m_lines) {
        const qsizetype eq = line.indexOf(u'=');
        const QStringView lineTag = eq < 0 ? QStringView(line) : QStringView(line).first(eq);
        if (lineTag == tag)
            return eq < 0 ? QString() : line.sliced(eq + 1);
    }
    return {};
}

QStringList PhotoValueTable::tagsWithValue() const
{
    QStringList tags;
    for (const QString& line : m_lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && eq + 1 < line.size())
            tags.append(line.first(eq));
    }
    return tags;
}

PhotoValueTable readPhotoValues(const QString& path, QSize photoSize, const DateFormats& formats,
                                const QDateTime& now, const Separators& separators)
{
    PhotoValueTable table;
    const QStringList& tags = stampTags();

    metadata::TExif exif;
    // A corrupt block gives no EXIF entries at all, so no half-read value is stamped.
    if (exif.readExif(path) != metadata::ExifReadStatus::ReadError) {
        const QStringList values = exif.hasExif ? exifValues(exif, formats, separators)
                                                : QStringList(ExifTagCount, QString());
        for (int i = 0; i < ExifTagCount; ++i)
            table.append(tags[i], values[i]);
    }

    const QDate date = now.date();
    const QTime time = now.time();
    table.append(QStringLiteral("[dd]"), twoDigits(date.day()));
    table.append(QStringLiteral("[MM]"), twoDigits(date.month()));
    table.append(QStringLiteral("[yyyy]"), QString::number(date.year()));
    table.append(QStringLiteral("[hh]"), twoDigits(time.hour()));
    table.append(QStringLiteral("[mm]"), twoDigits(time.minute()));
    table.append(QStringLiteral("[ss]"), twoDigits(time.second()));

    table.append(QStringLiteral("[p_width]"), QString::number(qMax(0, photoSize.width())));
    table.append(QStringLiteral("[p_height]"), QString::number(qMax(0, photoSize.height())));
    table.append(QStringLiteral("[p_filename]"), QFileInfo(path).fileName());
    if (formats.other >= 0 && formats.other < DateFormatCount) {
        const std::optional<QDateTime> modified = fileDate(path);
        table.append(QStringLiteral("[p_filedatetime]"),
                     modified ? formatFileDate(*modified, formats.other, separators) : QString());
    }
    return table;
}

} // namespace tess::stamptext
