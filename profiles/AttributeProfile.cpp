#include "profiles/AttributeProfile.h"

#include "platform/SafeFile.h"
#include "profiles/ProfileText.h"

#include <QByteArray>
#include <algorithm>
#include <exception>
#include <limits>

namespace tess::profiles {

namespace {

const QString RegularStyle = QStringLiteral("Regular");
const QString BoldStyle = QStringLiteral("Bold");
const QString ItalicStyle = QStringLiteral("Italic");
const QString BoldItalicStyle = QStringLiteral("Bold, Italic");

constexpr int MarkerLines = 12;

/// A line that should hold a number but does not; ends the read with the recovery.
struct ConversionError
{};

bool equalsAsciiIgnoringCase(QStringView text, QLatin1StringView word)
{
    if (text.size() != word.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != char16_t(word[i].unicode()))
            return false;
    }
    return true;
}

class ProfileReader
{
public:
    ProfileReader(QStringView text, ProfileTarget& target) : lines_(text), target_(target) {}

    /// Throws ConversionError.
    void apply(bool withWindowPosition)
    {
        lines_.next(); // the header, already checked on the raw bytes
        if (withWindowPosition) {
            const int left = integer();
            const int top = integer();
            target_.setWindowPosition(left, top);
        } else {
            lines_.next();
            lines_.next();
        }
        target_.setFontName(lines_.next().toString());
        target_.setFontSize(integer());
        bool bold = false;
        bool italic = false;
        if (fontStyleFromText(lines_.next(), &bold, &italic))
            target_.setFontStyle(bold, italic);
        target_.setTextColor(static_cast<quint32>(integer()));
        target_.setOutlineColor(static_cast<quint32>(integer()));
        target_.setOutlineWidth(integer());
        // Applied last: moving the track bars below marks the anchor "Custom".
        const QString heldPosition = lines_.next().toString();
        target_.setDateFormatDateTime(integer());
        target_.setDateFormatOriginal(integer());
        target_.setDateFormatCreated(integer());
        target_.setHorizontalTrackBarMax(integer());
        target_.setHorizontalTrackBarPosition(integer());
        target_.setVerticalTrackBarMax(integer());
        target_.setVerticalTrackBarPosition(integer());
        target_.setBorderWidth(integer());
        target_.setOpacity(integer());

        // Lines 20 to 27 were added in later versions of the format; in older files
        // their place holds the first marker lines.
        const QStringView quality = lines_.next();
        target_.setJpegQuality(quality == u"-1-" ? 95 : integer(quality));
        const QStringView otherFormat = lines_.next();
        target_.setDateFormatOther(
            otherFormat == u"-2-" || otherFormat == u"-1-" ? 0 : integer(otherFormat));
        proportionalSize(lines_.next());
        target_.setBrightness(integerOrMarker(255));
        target_.setContrast(integerOrMarker(255));
        effect(lines_.next());
        target_.setSepiaLevel(integerOrMarker(45));
        const QStringView flags = lines_.next();
        target_.setKeepFlags(flags.startsWith(u'-') ? QStringLiteral("1111") : flags.toString());

        // Files whose markers begin early end them sooner: see skipMarkers.
        lines_.skipMarkers();
        while (!lines_.atEnd()) {
            target_.addStampText(lines_.next().toString());
            target_.setLastStampTextTicked(boolean(lines_.next()));
        }
        target_.applyHeldPosition(heldPosition);
    }

private:
    int integer() { return integer(lines_.next()); }

    static int integer(QStringView text)
    {
        const std::optional<int> value = profileInteger(text);
        if (!value)
            throw ConversionError{};
        return *value;
    }

    static bool boolean(QStringView text)
    {
        const std::optional<bool> value = profileBoolean(text);
        if (!value)
            throw ConversionError{};
        return *value;
    }

    /// A marker line (or any line starting with "-", so no negative number) gives
    /// the fallback.
    int integerOrMarker(int fallback)
    {
        const QStringView text = lines_.next();
        return text.startsWith(u'-') ? fallback : integer(text);
    }

    void proportionalSize(QStringView text)
    {
        if (text == u"-3-" || text == u"-2-" || text == u"-1-") {
            target_.setProportionalSize(false, 768);
            return;
        }
        const qsizetype comma = text.indexOf(u',');
        if (comma < 0)
            throw ConversionError{};
        const bool on = boolean(text.first(comma));
        const int height = integer(text.sliced(comma + 1));
        target_.setProportionalSize(on, height);
    }

    void effect(QStringView text)
    {
        target_.resetEffect();
        PhotoEffect chosen = PhotoEffect::None;
        if (photoEffectFromName(text.toString(), &chosen) && chosen != PhotoEffect::None)
            target_.selectEffect(chosen);
    }

    ProfileLines lines_;
    ProfileTarget& target_;
};

/// One value per line: a line break inside a value would shift every line after it.
QByteArray valueBytes(const QString& text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text.toUtf8();
    QString oneLine = text;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    return oneLine.toUtf8();
}

} // namespace

// --- AttributesTarget ---------------------------------------------------------------

void AttributesTarget::setWindowPosition(int left, int top)
{
    a_.windowLeft = left;
    a_.windowTop = top;
}

void AttributesTarget::setFontName(const QString& name)
{
    a_.fontName = name;
}

void AttributesTarget::setFontSize(int size)
{
    a_.fontSize = size;
}

void AttributesTarget::setFontStyle(bool bold, bool italic)
{
    a_.bold = bold;
    a_.italic = italic;
}

void AttributesTarget::setTextColor(quint32 color)
{
    a_.textColor = color;
}

void AttributesTarget::setOutlineColor(quint32 color)
{
    a_.outlineColor = color;
}

void AttributesTarget::setOutlineWidth(int width)
{
    a_.outlineWidth = outlineWidthFor(width);
}

void AttributesTarget::setDateFormatDateTime(int index)
{
    a_.dateFormatDateTime = index;
}

void AttributesTarget::setDateFormatOriginal(int index)
{
    a_.dateFormatOriginal = index;
}

void AttributesTarget::setDateFormatCreated(int index)
{
    a_.dateFormatCreated = index;
}

void AttributesTarget::setDateFormatOther(int index)
{
    a_.dateFormatOther = index;
}

void AttributesTarget::moveTrackBar(int& value, int position)
{
    if (value == position)
        return;
    value = position;
    a_.position = positions::Custom; // as when the user drags the track bar
}

void AttributesTarget::setTrackBarMax(int& value, int& maxValue, int max)
{
    if (max < 0) // the minimum is 0
        return;
    maxValue = max;
    if (value > max)
        moveTrackBar(value, max);
}

void AttributesTarget::setTrackBarPosition(int& value, int maxValue, int position)
{
    moveTrackBar(value, std::clamp(position, 0, std::max(0, maxValue)));
}

void AttributesTarget::setHorizontalTrackBarMax(int max)
{
    setTrackBarMax(a_.customX, a_.customXMax, max);
}

void AttributesTarget::setHorizontalTrackBarPosition(int position)
{
    setTrackBarPosition(a_.customX, a_.customXMax, position);
}

void AttributesTarget::setVerticalTrackBarMax(int max)
{
    setTrackBarMax(a_.customY, a_.customYMax, max);
}

void AttributesTarget::setVerticalTrackBarPosition(int position)
{
    setTrackBarPosition(a_.customY, a_.customYMax, position);
}

void AttributesTarget::setBorderWidth(int width)
{
    a_.borderWidth = width;
}

void AttributesTarget::setOpacity(int opacity)
{
    a_.opacity = opacity;
}

void AttributesTarget::setJpegQuality(int quality)
{
    a_.jpegQuality = quality;
}

void AttributesTarget::setProportionalSize(bool on, int referenceHeight)
{
    a_.proportionalSize = on;
    a_.referenceHeight = referenceHeight;
}

void AttributesTarget::setBrightness(int brightness)
{
    a_.brightness = brightness;
}

void AttributesTarget::setContrast(int contrast)
{
    a_.contrast = contrast;
}

void AttributesTarget::resetEffect()
{
    a_.effect = PhotoEffect::None;
}

void AttributesTarget::selectEffect(PhotoEffect effect)
{
    a_.effect = effect;
}

void AttributesTarget::setSepiaLevel(int level)
{
    a_.sepiaLevel = level;
}

void AttributesTarget::setKeepFlags(const QString& flags)
{
    a_.keepFlags = flags;
}

void AttributesTarget::addStampText(const QString& mask)
{
    a_.stampTexts.append(StampText{mask, false});
}

void AttributesTarget::setLastStampTextTicked(bool ticked)
{
    if (!a_.stampTexts.isEmpty())
        a_.stampTexts.last().ticked = ticked;
}

void AttributesTarget::applyHeldPosition(const QString& position)
{
    a_.position = position;
}

void AttributesTarget::recover()
{
    a_.outlineWidth = 0;
    recovered_ = true;
}

// --- Value rules --------------------------------------------------------------------

int outlineWidthFor(int width)
{
    return width >= 0 && width <= 5 ? width : 1;
}

QString fontStyleText(bool bold, bool italic)
{
    if (bold)
        return italic ? BoldItalicStyle : BoldStyle;
    return italic ? ItalicStyle : RegularStyle;
}

bool fontStyleFromText(QStringView text, bool* bold, bool* italic)
{
    for (bool b : {false, true}) {
        for (bool i : {false, true}) {
            if (text == fontStyleText(b, i)) {
                *bold = b;
                *italic = i;
                return true;
            }
        }
    }
    return false;
}

std::optional<int> profileInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // One more than INT_MAX still fits: the magnitude of INT_MIN.
    constexpr qint64 Limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > Limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<bool> profileBoolean(QStringView text)
{
    if (const std::optional<int> number = profileInteger(text))
        return *number != 0;
    if (equalsAsciiIgnoringCase(text, QLatin1StringView("true")))
        return true;
    if (equalsAsciiIgnoringCase(text, QLatin1StringView("false")))
        return false;
    return std::nullopt;
}

// --- Reading and writing ------------------------------------------------------------

bool loadAttributeProfile(const QString& path, ProfileTarget& target, bool withWindowPosition)
{
    try {
        if (const std::optional<QString> text = readProfileText(path)) {
            ProfileReader reader(*text, target);
            reader.apply(withWindowPosition);
            return true;
        }
    } catch (const ConversionError&) {
    } catch (const std::exception&) {
        // Out of memory or a failure of the target: treated like any other read failure.
    }
    target.recover();
    return false;
}

std::optional<StampAttributes> readProfileAttributes(const QString& path,
                                                     const StampAttributes& base)
{
    StampAttributes attributes = base;
    AttributesTarget target(attributes);
    if (!loadAttributeProfile(path, target, false))
        return std::nullopt;
    return attributes;
}

QByteArray profileBytes(const StampAttributes& a)
{
    QByteArray out;
    out.reserve(512 + a.stampTexts.size() * 32);
    const auto line = [&out](const QByteArray& value) {
        out += value;
        out += "\r\n";
    };
    const auto text = [&line](const QString& value) { line(valueBytes(value)); };
    const auto number = [&line](qint64 value) { line(QByteArray::number(value)); };
    const auto boolean = [](bool value) { return value ? QByteArray("-1") : QByteArray("0"); };
    // Colours are written as the signed 32-bit number they are read back as.
    const auto colour = [&number](quint32 value) { number(static_cast<qint32>(value)); };

    text(ProfileHeader);
    number(a.windowLeft);
    number(a.windowTop);
    text(a.fontName);
    number(a.fontSize);
    text(fontStyleText(a.bold, a.italic));
    colour(a.textColor);
    colour(a.outlineColor);
    number(a.outlineWidth);
    text(a.position);
    number(a.dateFormatDateTime);
    number(a.dateFormatOriginal);
    number(a.dateFormatCreated);
    number(a.customXMax);
    number(a.customX);
    number(a.customYMax);
    number(a.customY);
    number(a.borderWidth);
    number(a.opacity);
    number(a.jpegQuality);
    number(a.dateFormatOther);
    line(boolean(a.proportionalSize) + ',' + QByteArray::number(a.referenceHeight));
    number(a.brightness);
    number(a.contrast);
    text(photoEffectName(a.effect));
    number(a.sepiaLevel);
    text(a.keepFlags);
    for (int k = 1; k <= MarkerLines; ++k)
        line('-' + QByteArray::number(k) + '-');
    for (const StampText& entry : a.stampTexts) {
        text(entry.mask);
        line(boolean(entry.ticked));
    }
    return out;
}

ProfileWriteResult writeAttributeProfile(const QString& path, const StampAttributes& attributes)
{
    ProfileWriteResult result;
    result.ok = platform::writeFileSafely(path, profileBytes(attributes), &result.error);
    return result;
}

} // namespace tess::profiles
