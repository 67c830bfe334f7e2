#pragma once

#include "stamptext/DateFormats.h"

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tess::stamptext {

/// The four date format indices of StampAttributes, in the order of the Options dialog.
struct DateFormats
{
    int dateTime = 0;
    int original = 0;
    int created = 0;
    int other = 0;
};

/// Tag -> value lines of one photo ("[make_exif]=Canon").
class PhotoValueTable
{
public:
    PhotoValueTable() = default;
    explicit PhotoValueTable(QStringList lines) : m_lines(std::move(lines)) {}

    /// Adds the line "tag=value" at the end.
    void append(const QString& tag, const QString& value);
    /// First entry whose tag equals \a tag exactly; empty when none.
    QString valueOf(const QString& tag) const;
    /// Tags of the entries whose value is not empty, in table order (the stamp mask field's
    /// drop-down list).
    QStringList tagsWithValue() const;
    const QStringList& lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    QStringList m_lines;
};

/// Builds the table for the photo at \a path: the 27 EXIF entries (none at all when the EXIF
/// block is corrupt), the clock entries from \a now, the photo's size, the file's name and,
/// while formats.other is a valid index, its modification date ("" when unreadable).
PhotoValueTable readPhotoValues(const QString& path, QSize photoSize, const DateFormats& formats,
                                const QDateTime& now, const Separators& separators);

} // namespace tess::stamptext
