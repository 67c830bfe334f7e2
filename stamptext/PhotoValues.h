#pragma once

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

/// The regional separators used by the date patterns.
struct Separators
{
    QString date = QStringLiteral("/");
    QString time = QStringLiteral(":");
};

/// Tag -> value lines of one photo ("[make_exif]=Canon").
class PhotoValueTable
{
public:
    PhotoValueTable() = default;
    explicit PhotoValueTable(QStringList lines) : m_lines(std::move(lines)) {}

    /// First entry whose tag equals \a tag exactly; empty when none.
    QString valueOf(const QString& tag) const;
    /// Tags of the entries whose line does not end in "=", in table order.
    QStringList tagsWithValue() const;
    const QStringList& lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    QStringList m_lines;
};

/// Builds the table for the photo at \a path: EXIF values (Part of the EXIF reader),
/// the clock values at \a now, the photo's size and the file's name and date.
PhotoValueTable readPhotoValues(const QString& path, QSize photoSize, const DateFormats& formats,
                                const QDateTime& now, const Separators& separators);

} // namespace tess::stamptext
