#include "stamptext/StampMask.h"

#include <optional>

namespace tess::stamptext {

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// Tags are ASCII, so case-blind matching folds ASCII letters only: no other character of a
// mask can stand for a letter of a tag.
bool matchesAt(QStringView text, qsizetype at, QStringView tag, bool anyCase)
{
    if (text.size() - at < tag.size())
        return false;
    for (qsizetype i = 0; i < tag.size(); ++i) {
        const char16_t c = text[at + i].unicode();
        const char16_t t = tag[i].unicode();
        if (c != t && !(anyCase && asciiLower(c) == t))
            return false;
    }
    return true;
}

// Every occurrence of tag, from left to right and without overlap, replaced by its value;
// the inserted value is not searched again. The value is looked up only when the tag occurs.
QString replaceAll(const QString& text, const QString& tag, const ValueLookup& valueOf,
                   bool anyCase)
{
    // Values are searched again by the later tags, so values that hold tags (from a photo's
    // EXIF texts) could multiply the length at every step; the result is cut at the limit.
    QString out;
    std::optional<QString> value;
    qsizetype copied = 0;
    for (qsizetype i = 0; i + tag.size() <= text.size();) {
        if (matchesAt(text, i, tag, anyCase)) {
            if (!value)
                value = valueOf ? valueOf(tag) : QString();
            out += QStringView(text).sliced(copied, i - copied);
            out += *value;
            i += tag.size();
            copied = i;
            if (out.size() > MaxExpandedLength) {
                out.truncate(MaxExpandedLength);
                return out;
            }
        } else {
            ++i;
        }
    }
    if (!value)
        return text;
    out += QStringView(text).sliced(copied);
    out.truncate(MaxExpandedLength);
    return out;
}

} // namespace

const QStringList& stampTags()
{
    static const QStringList tags = {
        QStringLiteral("[aperture_exif]"),
        QStringLiteral("[artist_exif]"),
        QStringLiteral("[compressedbpp_exif]"),
        QStringLiteral("[copyright_exif]"),
        QStringLiteral("[createddatetime_exif]"),
        QStringLiteral("[datetime_exif]"),
        QStringLiteral("[originaldatetime_exif]"),
        QStringLiteral("[exposureprogram_exif]"),
        QStringLiteral("[exposure_exif]"),
        QStringLiteral("[flash_exif]"),
        QStringLiteral("[fstops_exif]"),
        QStringLiteral("[imagedesc_exif]"),
        QStringLiteral("[isospeed_exif]"),
        QStringLiteral("[lightsource_exif]"),
        QStringLiteral("[make_exif]"),
        QStringLiteral("[maxaperture_exif]"),
        QStringLiteral("[meteringmethod_exif]"),
        QStringLiteral("[meteringmode_exif]"),
        QStringLiteral("[model_exif]"),
        QStringLiteral("[orientation_exif]"),
        QStringLiteral("[pixelxdimension_exif]"),
        QStringLiteral("[pixelydimension_exif]"),
        QStringLiteral("[shutterspeed_exif]"),
        QStringLiteral("[software_exif]"),
        QStringLiteral("[usercomments_exif]"),
        QStringLiteral("[xresolution_exif]"),
        QStringLiteral("[yresolution_exif]"),
        QStringLiteral("[dd]"),
        QStringLiteral("[MM]"),
        QStringLiteral("[yyyy]"),
        QStringLiteral("[hh]"),
        QStringLiteral("[mm]"),
        QStringLiteral("[ss]"),
        QStringLiteral("[p_width]"),
        QStringLiteral("[p_height]"),
        QStringLiteral("[p_filename]"),
        QStringLiteral("[p_filedatetime]"),
    };
    return tags;
}

QString expandStampMask(const QString& mask, const ValueLookup& valueOf)
{
    QString result = mask;
    const QStringList& tags = stampTags();
    for (qsizetype i = 0; i < tags.size(); ++i) {
        result = replaceAll(result, tags[i], valueOf, i < ExifTagCount);
    }
    result.truncate(MaxExpandedLength);
    return result;
}

} // namespace tess::stamptext
