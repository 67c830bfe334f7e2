#include "batch/BatchSettings.h"

#include "profiles/AttributeProfile.h"
#include "profiles/ProfileLayout.h"
#include "profiles/ProfileText.h"

#include <exception>

namespace tess::batch {

using profiles::ProfileField;

namespace {

/// Stores one value line. The lines the batch holds as text are kept as they stand and
/// converted when a photo is stamped; the others are converted now and a bad one makes
/// the profile unreadable (throws ProfileConversionError).
void setBatchField(BatchSettings& s, ProfileField field, QStringView view)
{
    using profiles::lineInteger;
    const QString text = view.toString();
    switch (field) {
    case ProfileField::WindowLeft:
    case ProfileField::WindowTop:
        return; // the window position has no place in a batch
    case ProfileField::FontName:
        s.fontName = text;
        return;
    case ProfileField::FontSize:
        s.fontSize = text;
        return;
    case ProfileField::FontStyle:
        s.fontStyle = text;
        return;
    case ProfileField::TextColor:
        s.textColor = static_cast<quint32>(lineInteger(text));
        return;
    case ProfileField::OutlineColor:
        s.outlineColor = static_cast<quint32>(lineInteger(text));
        return;
    case ProfileField::OutlineWidth:
        s.outlineWidth = text;
        return;
    case ProfileField::Position:
        s.position = text;
        return;
    case ProfileField::DateFormatDateTime:
        s.dateFormatDateTime = lineInteger(text);
        return;
    case ProfileField::DateFormatOriginal:
        s.dateFormatOriginal = lineInteger(text);
        return;
    case ProfileField::DateFormatCreated:
        s.dateFormatCreated = lineInteger(text);
        return;
    case ProfileField::CustomXMax:
        s.customXMax = text;
        return;
    case ProfileField::CustomX:
        s.customX = text;
        return;
    case ProfileField::CustomYMax:
        s.customYMax = text;
        return;
    case ProfileField::CustomY:
        s.customY = text;
        return;
    case ProfileField::BorderWidth:
        s.borderWidth = text;
        return;
    case ProfileField::Opacity:
        s.opacity = text;
        return;
    case ProfileField::JpegQuality:
        s.jpegQuality = text;
        return;
    case ProfileField::DateFormatOther:
        s.dateFormatOther = lineInteger(text);
        return;
    case ProfileField::ProportionalSize: {
        const profiles::SizeRule rule = profiles::lineSizeRule(text);
        s.proportionalSize = rule.on;
        s.referenceHeight = rule.referenceHeight;
        return;
    }
    case ProfileField::Brightness:
        s.brightness = lineInteger(text);
        return;
    case ProfileField::Contrast:
        s.contrast = lineInteger(text);
        return;
    case ProfileField::Effect:
        s.effect = text;
        return;
    case ProfileField::SepiaLevel:
        s.sepiaLevel = lineInteger(text);
        return;
    case ProfileField::KeepFlags:
        s.keepFlags = text;
        return;
    }
}

} // namespace

BatchSettings batchSettingsFromAttributes(const StampAttributes& a)
{
    BatchSettings s;
    for (const profiles::ProfileLine& line : profiles::ProfileLayout)
        setBatchField(s, line.field, profiles::profileFieldText(a, line.field));
    s.stampTexts = a.stampTexts;
    return s;
}

std::optional<BatchSettings> readBatchProfile(const QString& path)
{
    try {
        const std::optional<QString> text = profiles::readProfileText(path);
        if (!text)
            return std::nullopt;
        BatchSettings s;
        profiles::readProfileLayout(
            *text,
            [&s](const profiles::ProfileLine& line, QStringView value) {
                setBatchField(s, line.field, value);
            },
            [&s](const profiles::ProfileEntryLines& entry) {
                s.stampTexts.append({entry.mask.toString(), profiles::lineBoolean(entry.ticked)});
            });
        return s;
    } catch (const profiles::ProfileConversionError&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

} // namespace tess::batch
