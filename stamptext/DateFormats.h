#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace tess::stamptext {

/// The regional separators used by the date patterns.
struct Separators
{
    QString date = QStringLiteral("/");
    QString time = QStringLiteral(":");
};

/// Number of entries of the date format table; valid indices are 0 to DateFormatCount - 1.
inline constexpr int DateFormatCount = 9;

/// The item texts of the Options dialog's date format lists, by index.
const QStringList& dateFormatCaptions();

/// The pattern of \a index ("yyyy-mm-dd hh:nn:ss"); index 0 gives the file-date form
/// "yyyy:mm:dd hh:nn:ss". Empty for an index outside the table.
QString dateFormatPattern(int index);

/// Writes \a value with \a pattern: "yyyy", "mm" (month), "dd", "hh", "nn" (minutes), "ss",
/// "am/pm" (and then "hh" on the 12-hour clock); "/" and ":" become the regional separators;
/// every other character is written as it is.
QString formatWithPattern(const QDateTime& value, const QString& pattern,
                          const Separators& separators);

/// Reads an EXIF date "YYYY:MM:DD HH:MM:SS" by fixed character positions, without checking
/// the characters between the numbers. Fails when a number is missing or malformed or the
/// numbers are no valid date and time of day. The result holds the numbers as written, in
/// UTC so that no daylight-saving change moves them.
std::optional<QDateTime> parseExifDateTime(const QString& text);

/// The value of an EXIF date tag: empty for empty or unparsable text (whatever the index),
/// the text itself for index 0, the parsed date with the index's pattern for 1 to 8, and
/// empty for any other index.
QString formatExifDate(const QString& text, int index, const Separators& separators = {});

/// The value of "[p_filedatetime]": \a value with the index's pattern (index 0:
/// "yyyy:mm:dd hh:nn:ss"); empty for an index outside the table.
QString formatFileDate(const QDateTime& value, int index, const Separators& separators = {});

/// The last-modified time of the file at \a path in local time, at the two-second resolution
/// of file dates (seconds rounded down to even, no milliseconds); nothing when the file is
/// missing or its time can't be read.
std::optional<QDateTime> fileDate(const QString& path);

} // namespace tess::stamptext
