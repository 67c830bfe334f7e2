#pragma once

#include "stamptext/DateFormats.h"
#include "stamptext/PhotoValues.h"

#include <QDateTime>
#include <QString>

namespace tess::stamptext::ui {

/// \a mask expanded like a stamp mask, with made-up values for the EXIF and file tags and
/// \a now for the clock tags. The four date tags show \a now written in the EXIF form
/// "yyyy:mm:dd hh:nn:ss" and then passed through their field's format index of \a formats
/// (index 0: the EXIF form; an index outside the table: empty).
QString buildSamplePreview(const QString& mask, const QDateTime& now, const DateFormats& formats,
                           const Separators& separators);

} // namespace tess::stamptext::ui
