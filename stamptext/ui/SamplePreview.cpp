#include "stamptext/ui/SamplePreview.h"

#include "stamptext/StampMask.h"

#include <QHash>

namespace tess::stamptext::ui {

namespace {

const QHash<QString, QString>& fixedSamples()
{
    static const QHash<QString, QString> samples = {
        {QStringLiteral("[aperture_exif]"), QStringLiteral("5.0")},
        {QStringLiteral("[artist_exif]"), QStringLiteral("An Artist")},
        {QStringLiteral("[compressedbpp_exif]"), QStringLiteral("1.5")},
        {QStringLiteral("[copyright_exif]"), QStringLiteral("\u00a9 2008")},
        {QStringLiteral("[exposureprogram_exif]"), QStringLiteral("Normal")},
        {QStringLiteral("[exposure_exif]"), QStringLiteral("1/659")},
        {QStringLiteral("[flash_exif]"), QStringLiteral("No Flash")},
        {QStringLiteral("[fstops_exif]"), QStringLiteral("f5/6")},
        {QStringLiteral("[imagedesc_exif]"), QStringLiteral("Description")},
        {QStringLiteral("[isospeed_exif]"), QStringLiteral("100")},
        {QStringLiteral("[lightsource_exif]"), QStringLiteral("9")},
        {QStringLiteral("[make_exif]"), QStringLiteral("My Camera Make")},
        {QStringLiteral("[maxaperture_exif]"), QStringLiteral("2.00")},
        {QStringLiteral("[meteringmethod_exif]"), QStringLiteral("Pattern")},
        {QStringLiteral("[meteringmode_exif]"), QStringLiteral("5")},
        {QStringLiteral("[model_exif]"), QStringLiteral("My Camera Model")},
        {QStringLiteral("[orientation_exif]"), QStringLiteral("top - left")},
        {QStringLiteral("[pixelxdimension_exif]"), QStringLiteral("1200")},
        {QStringLiteral("[pixelydimension_exif]"), QStringLiteral("780")},
        {QStringLiteral("[shutterspeed_exif]"), QStringLiteral("1/256")},
        {QStringLiteral("[software_exif]"), QStringLiteral("My JPEG Software")},
        {QStringLiteral("[usercomments_exif]"), QStringLiteral("A Nice Photo")},
        {QStringLiteral("[xresolution_exif]"), QStringLiteral("72.00")},
        {QStringLiteral("[yresolution_exif]"), QStringLiteral("70.00")},
        {QStringLiteral("[p_width]"), QStringLiteral("1024")},
        {QStringLiteral("[p_height]"), QStringLiteral("768")},
        {QStringLiteral("[p_filename]"), QStringLiteral("my_photo.jpg")},
    };
    return samples;
}

} // namespace

QString buildSamplePreview(const QString& mask, const QDateTime& now, const DateFormats& formats,
                           const Separators& separators)
{
    // The EXIF form keeps its own ":" whatever the regional time separator is.
    const QString exifForm = formatWithPattern(now, dateFormatPattern(0), Separators{});
    QHash<QString, QString> values = fixedSamples();
    values.insert(QStringLiteral("[createddatetime_exif]"),
                  formatExifDate(exifForm, formats.created, separators));
    values.insert(QStringLiteral("[datetime_exif]"),
                  formatExifDate(exifForm, formats.dateTime, separators));
    values.insert(QStringLiteral("[originaldatetime_exif]"),
                  formatExifDate(exifForm, formats.original, separators));
    values.insert(QStringLiteral("[p_filedatetime]"),
                  formatExifDate(exifForm, formats.other, separators));
    // The clock tags in their fixed two-digit (and four-digit year) forms.
    const struct
    {
        const char16_t* tag;
        const char16_t* pattern;
    } clock[] = {{u"[dd]", u"dd"}, {u"[MM]", u"mm"}, {u"[yyyy]", u"yyyy"},
                 {u"[hh]", u"hh"}, {u"[mm]", u"nn"}, {u"[ss]", u"ss"}};
    for (const auto& c : clock)
        values.insert(QString::fromUtf16(c.tag),
                      formatWithPattern(now, QString::fromUtf16(c.pattern), separators));

    return expandStampMask(mask, [&values](const QString& tag) { return values.value(tag); });
}

} // namespace tess::stamptext::ui
