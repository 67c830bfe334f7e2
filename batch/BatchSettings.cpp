#include "batch/BatchSettings.h"

#include "profiles/AttributeProfile.h"
#include "profiles/ProfileText.h"

#include <exception>

namespace tess::batch {

namespace {

/// A line that should hold a number now but does not.
struct BadLine
{};

/// The lines of a profile, with the conversions a batch needs at reading time.
class Lines
{
public:
    explicit Lines(QStringView text) : lines_(text) {}

    bool atEnd() const { return lines_.atEnd(); }
    QString next() { return lines_.next().toString(); }
    void skipMarkers() { lines_.skipMarkers(); }

    int integer() { return integer(next()); }

    static int integer(QStringView text)
    {
        const std::optional<int> value = profiles::profileInteger(text);
        if (!value)
            throw BadLine{};
        return *value;
    }

    /// A line beginning with "-" (a marker line of an older, shorter file) gives \a fallback.
    int integerOrMarker(int fallback)
    {
        const QString text = next();
        return text.startsWith(u'-') ? fallback : integer(text);
    }

    bool boolean()
    {
        const std::optional<bool> value = profiles::profileBoolean(next());
        if (!value)
            throw BadLine{};
        return *value;
    }

private:
    profiles::ProfileLines lines_;
};

BatchSettings parseProfile(QStringView text)
{
    Lines lines(text);
    BatchSettings s;
    lines.next(); // the header, checked on the raw bytes
    lines.next(); // the window position has no place in a batch
    lines.next();
    s.fontName = lines.next();
    s.fontSize = lines.next();
    s.fontStyle = lines.next();
    s.textColor = static_cast<quint32>(lines.integer());
    s.outlineColor = static_cast<quint32>(lines.integer());
    s.outlineWidth = lines.next();
    s.position = lines.next();
    s.dateFormatDateTime = lines.integer();
    s.dateFormatOriginal = lines.integer();
    s.dateFormatCreated = lines.integer();
    s.customXMax = lines.next();
    s.customX = lines.next();
    s.customYMax = lines.next();
    s.customY = lines.next();
    s.borderWidth = lines.next();
    s.opacity = lines.next();

    // Lines 20 to 27 came with later versions of the format; in older files their place
    // holds the first marker lines.
    const QString quality = lines.next();
    s.jpegQuality = quality == u"-1-" ? QStringLiteral("95") : quality;
    const QString otherFormat = lines.next();
    s.dateFormatOther =
        otherFormat == u"-2-" || otherFormat == u"-1-" ? 0 : Lines::integer(otherFormat);
    const QString proportional = lines.next();
    if (proportional == u"-3-" || proportional == u"-2-" || proportional == u"-1-") {
        s.proportionalSize = false;
        s.referenceHeight = 768;
    } else {
        const qsizetype comma = proportional.indexOf(u',');
        if (comma < 0)
            throw BadLine{};
        const std::optional<bool> on =
            profiles::profileBoolean(QStringView(proportional).first(comma));
        if (!on)
            throw BadLine{};
        s.proportionalSize = *on;
        s.referenceHeight = Lines::integer(QStringView(proportional).sliced(comma + 1));
    }
    s.brightness = lines.integerOrMarker(255);
    s.contrast = lines.integerOrMarker(255);
    s.effect = lines.next();
    s.sepiaLevel = lines.integerOrMarker(45);
    const QString flags = lines.next();
    s.keepFlags = flags.startsWith(u'-') ? QStringLiteral("1111") : flags;

    lines.skipMarkers();
    while (!lines.atEnd()) {
        StampText entry;
        entry.mask = lines.next();
        entry.ticked = lines.boolean();
        s.stampTexts.append(entry);
    }
    return s;
}

} // namespace

BatchSettings batchSettingsFromAttributes(const StampAttributes& a)
{
    BatchSettings s;
    s.fontName = a.fontName;
    s.fontSize = QString::number(a.fontSize);
    s.fontStyle = profiles::fontStyleText(a.bold, a.italic);
    s.textColor = a.textColor;
    s.outlineColor = a.outlineColor;
    s.outlineWidth = QString::number(a.outlineWidth);
    s.position = a.position;
    s.dateFormatDateTime = a.dateFormatDateTime;
    s.dateFormatOriginal = a.dateFormatOriginal;
    s.dateFormatCreated = a.dateFormatCreated;
    s.dateFormatOther = a.dateFormatOther;
    s.customXMax = QString::number(a.customXMax);
    s.customX = QString::number(a.customX);
    s.customYMax = QString::number(a.customYMax);
    s.customY = QString::number(a.customY);
    s.borderWidth = QString::number(a.borderWidth);
    s.opacity = QString::number(a.opacity);
    s.jpegQuality = QString::number(a.jpegQuality);
    s.proportionalSize = a.proportionalSize;
    s.referenceHeight = a.referenceHeight;
    s.brightness = a.brightness;
    s.contrast = a.contrast;
    s.sepiaLevel = a.sepiaLevel;
    s.effect = photoEffectName(a.effect);
    s.keepFlags = a.keepFlags;
    s.stampTexts = a.stampTexts;
    return s;
}

std::optional<BatchSettings> readBatchProfile(const QString& path)
{
    try {
        const std::optional<QString> text = profiles::readProfileText(path);
        if (!text)
            return std::nullopt;
        return parseProfile(*text);
    } catch (const BadLine&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

} // namespace tess::batch
