#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tess::stamptext {

/// The 37 tags in expansion order; the first 27 are the EXIF tags.
const QStringList& stampTags();
inline constexpr int ExifTagCount = 27;

using ValueLookup = std::function<QString(const QString& tag)>;

/// An expanded mask is cut after this many characters: far beyond any stamp line, and a
/// bound on the work when the values themselves hold tags.
inline constexpr qsizetype MaxExpandedLength = 64 * 1024;

/// Expands one stamp mask: every tag, in table order, is replaced by its value from
/// \a valueOf (EXIF tags matched in any letter case, the others exactly).
QString expandStampMask(const QString& mask, const ValueLookup& valueOf);

} // namespace tess::stamptext
