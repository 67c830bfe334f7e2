#pragma once

#include "app/attributes/StampAttributes.h"
#include "stamptext/PhotoValues.h"

#include <QList>
#include <QString>
#include <optional>

namespace tess::batch {

/// The stamp settings of one batch run, filled when the run starts and read-only after.
///
/// The same fields as StampAttributes without the window position. The fields held as
/// text are converted when a photo is stamped, so a bad value in one of them fails every
/// photo (each with its own log line) instead of the start of the run.
struct BatchSettings
{
    QString fontName = QStringLiteral("Arial");
    QString fontSize = QStringLiteral("18");
    /// "Regular", "Bold", "Italic", "Bold, Italic"; any other text draws regular.
    QString fontStyle = QStringLiteral("Regular");
    quint32 textColor = 0;
    quint32 outlineColor = 0;
    /// Any integer; 0 draws plain text, anything else outlined text that wide.
    QString outlineWidth = QStringLiteral("0");
    /// Compared exactly with the anchor positions; an unknown one draws nothing.
    QString position = positions::BottomRight;
    int dateFormatDateTime = 0;
    int dateFormatOriginal = 0;
    int dateFormatCreated = 0;
    int dateFormatOther = 0;
    QString customXMax = QStringLiteral("10");
    QString customX = QStringLiteral("0");
    QString customYMax = QStringLiteral("10");
    QString customY = QStringLiteral("0");
    QString borderWidth = QStringLiteral("5");
    QString opacity = QStringLiteral("255");
    QString jpegQuality = QStringLiteral("95");
    bool proportionalSize = false;
    int referenceHeight = 768;
    int brightness = 255;
    int contrast = 255;
    int sepiaLevel = 45;
    /// "none", "greyscale", "sepia", "flaxen", "negative"; any other text is no effect.
    QString effect = QStringLiteral("none");
    /// Characters 2 and 4 switch the effect and brightness/contrast on when they are "1".
    QString keepFlags = QStringLiteral("1111");
    QList<StampText> stampTexts;

    bool operator==(const BatchSettings&) const = default;

    stamptext::DateFormats dateFormats() const
    {
        return {dateFormatDateTime, dateFormatOriginal, dateFormatCreated, dateFormatOther};
    }
};

/// The main window's current settings as batch settings.
BatchSettings batchSettingsFromAttributes(const StampAttributes& attributes);

/// Reads an attribute profile into batch settings. Nothing is checked that a photo
/// checks later: the font size, style, outline width, position, custom position, border,
/// opacity, JPEG quality and effect lines are kept as they stand. Lines 2 and 3 (the window
/// position) are ignored. The file is read as the window reads it (`readProfileText`), with
/// the same layout of lines. Nothing when the file is no profile, or a value needed now
/// (colours, date formats, proportional size, brightness, contrast, sepia level, check
/// marks) is not a number.
std::optional<BatchSettings> readBatchProfile(const QString& path);

} // namespace tess::batch
