#include "profiles/AttributeProfile.h"

#include "platform/SafeFile.h"
#include "profiles/ProfileLayout.h"
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

/// Applies the value lines to a target as they are read.
class ProfileReader
{
public:
    ProfileReader(ProfileTarget& target, bool withWindowPosition)
        : m_target(target), m_withWindowPosition(withWindowPosition)
    {}

    /// Throws ProfileConversionError.
    void value(const ProfileLine& line, QStringView text)
    {
        switch (line.field) {
        case ProfileField::WindowLeft:
            if (m_withWindowPosition)
                m_windowLeft = lineInteger(text);
            return;
        case ProfileField::WindowTop:
            if (m_withWindowPosition)
                m_target.setWindowPosition(m_windowLeft, lineInteger(text));
            return;
        case ProfileField::FontName:
            return m_target.setFontName(text.toString());
        case ProfileField::FontSize:
            return m_target.setFontSize(lineInteger(text));
        case ProfileField::FontStyle: {
            bool bold = false;
            bool italic = false;
            if (fontStyleFromText(text, &bold, &italic))
                m_target.setFontStyle(bold, italic);
            return;
        }
        case ProfileField::TextColor:
            return m_target.setTextColor(static_cast<quint32>(lineInteger(text)));
        case ProfileField::OutlineColor:
            return m_target.setOutlineColor(static_cast<quint32>(lineInteger(text)));
        case ProfileField::OutlineWidth:
            return m_target.setOutlineWidth(lineInteger(text));
        case ProfileField::Position:
            // Applied last: moving the track bars below marks the anchor "Custom".
            m_heldPosition = text.toString();
            return;
        case ProfileField::DateFormatDateTime:
            return m_target.setDateFormatDateTime(lineInteger(text));
        case ProfileField::DateFormatOriginal:
            return m_target.setDateFormatOriginal(lineInteger(text));
        case ProfileField::DateFormatCreated:
            return m_target.setDateFormatCreated(lineInteger(text));
        case ProfileField::CustomXMax:
            return m_target.setHorizontalTrackBarMax(lineInteger(text));
        case ProfileField::CustomX:
            return m_target.setHorizontalTrackBarPosition(lineInteger(text));
        case ProfileField::CustomYMax:
            return m_target.setVerticalTrackBarMax(lineInteger(text));
        case ProfileField::CustomY:
            return m_target.setVerticalTrackBarPosition(lineInteger(text));
        case ProfileField::BorderWidth:
            return m_target.setBorderWidth(lineInteger(text));
        case ProfileField::Opacity:
            return m_target.setOpacity(lineInteger(text));
        case ProfileField::JpegQuality:
            return m_target.setJpegQuality(lineInteger(text));
        case ProfileField::DateFormatOther:
            return m_target.setDateFormatOther(lineInteger(text));
        case ProfileField::ProportionalSize: {
            const SizeRule rule = lineSizeRule(text);
            return m_target.setProportionalSize(rule.on, rule.referenceHeight);
        }
        case ProfileField::Brightness:
            return m_target.setBrightness(lineInteger(text));
        case ProfileField::Contrast:
            return m_target.setContrast(lineInteger(text));
        case ProfileField::Effect: {
            m_target.resetEffect();
            PhotoEffect chosen = PhotoEffect::None;
            if (photoEffectFromName(text.toString(), &chosen) && chosen != PhotoEffect::None)
                m_target.selectEffect(chosen);
            return;
        }
        case ProfileField::SepiaLevel:
            return m_target.setSepiaLevel(lineInteger(text));
        case ProfileField::KeepFlags:
            return m_target.setKeepFlags(text.toString());
        }
    }

    /// Throws ProfileConversionError after adding the entry when its check mark is bad.
    void entry(const ProfileEntryLines& lines)
    {
        m_target.addStampText(lines.mask.toString());
        m_target.setLastStampTextTicked(lineBoolean(lines.ticked));
    }

    void finish() { m_target.applyHeldPosition(m_heldPosition); }

private:
    ProfileTarget& m_target;
    const bool m_withWindowPosition;
    int m_windowLeft = 0;
    QString m_heldPosition;
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
    m_attributes.windowLeft = left;
    m_attributes.windowTop = top;
}

void AttributesTarget::setFontName(const QString& name)
{
    m_attributes.fontName = name;
}

void AttributesTarget::setFontSize(int size)
{
    m_attributes.fontSize = size;
}

void AttributesTarget::setFontStyle(bool bold, bool italic)
{
    m_attributes.bold = bold;
    m_attributes.italic = italic;
}

void AttributesTarget::setTextColor(quint32 color)
{
    m_attributes.textColor = color;
}

void AttributesTarget::setOutlineColor(quint32 color)
{
    m_attributes.outlineColor = color;
}

void AttributesTarget::setOutlineWidth(int width)
{
    m_attributes.outlineWidth = outlineWidthFor(width);
}

void AttributesTarget::setDateFormatDateTime(int index)
{
    m_attributes.dateFormatDateTime = index;
}

void AttributesTarget::setDateFormatOriginal(int index)
{
    m_attributes.dateFormatOriginal = index;
}

void AttributesTarget::setDateFormatCreated(int index)
{
    m_attributes.dateFormatCreated = index;
}

void AttributesTarget::setDateFormatOther(int index)
{
    m_attributes.dateFormatOther = index;
}

void AttributesTarget::moveTrackBar(int& value, int position)
{
    if (value == position)
        return;
    value = position;
    m_attributes.position = positions::Custom; // as when the user drags the track bar
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
    setTrackBarMax(m_attributes.customX, m_attributes.customXMax, max);
}

void AttributesTarget::setHorizontalTrackBarPosition(int position)
{
    setTrackBarPosition(m_attributes.customX, m_attributes.customXMax, position);
}

void AttributesTarget::setVerticalTrackBarMax(int max)
{
    setTrackBarMax(m_attributes.customY, m_attributes.customYMax, max);
}

void AttributesTarget::setVerticalTrackBarPosition(int position)
{
    setTrackBarPosition(m_attributes.customY, m_attributes.customYMax, position);
}

void AttributesTarget::setBorderWidth(int width)
{
    m_attributes.borderWidth = width;
}

void AttributesTarget::setOpacity(int opacity)
{
    m_attributes.opacity = opacity;
}

void AttributesTarget::setJpegQuality(int quality)
{
    m_attributes.jpegQuality = quality;
}

void AttributesTarget::setProportionalSize(bool on, int referenceHeight)
{
    m_attributes.proportionalSize = on;
    m_attributes.referenceHeight = referenceHeight;
}

void AttributesTarget::setBrightness(int brightness)
{
    m_attributes.brightness = brightness;
}

void AttributesTarget::setContrast(int contrast)
{
    m_attributes.contrast = contrast;
}

void AttributesTarget::resetEffect()
{
    m_attributes.effect = PhotoEffect::None;
}

void AttributesTarget::selectEffect(PhotoEffect effect)
{
    m_attributes.effect = effect;
}

void AttributesTarget::setSepiaLevel(int level)
{
    m_attributes.sepiaLevel = level;
}

void AttributesTarget::setKeepFlags(const QString& flags)
{
    m_attributes.keepFlags = flags;
}

void AttributesTarget::addStampText(const QString& mask)
{
    m_attributes.stampTexts.append(StampText{mask, false});
}

void AttributesTarget::setLastStampTextTicked(bool ticked)
{
    if (!m_attributes.stampTexts.isEmpty())
        m_attributes.stampTexts.last().ticked = ticked;
}

void AttributesTarget::applyHeldPosition(const QString& position)
{
    m_attributes.position = position;
}

void AttributesTarget::recover()
{
    m_attributes.outlineWidth = 0;
    m_recovered = true;
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

QString profileBooleanText(bool value)
{
    return value ? QStringLiteral("-1") : QStringLiteral("0");
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
            ProfileReader reader(target, withWindowPosition);
            readProfileLayout(
                *text,
                [&](const ProfileLine& line, QStringView value) { reader.value(line, value); },
                [&](const ProfileEntryLines& lines) { reader.entry(lines); });
            reader.finish();
            return true;
        }
    } catch (const ProfileConversionError&) {
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

QString profileFieldText(const StampAttributes& a, ProfileField field)
{
    const auto number = [](int value) { return QString::number(value); };
    // Colours are written as the signed 32-bit number they are read back as.
    const auto colour = [](quint32 value) { return QString::number(static_cast<qint32>(value)); };
    switch (field) {
    case ProfileField::WindowLeft:
        return number(a.windowLeft);
    case ProfileField::WindowTop:
        return number(a.windowTop);
    case ProfileField::FontName:
        return a.fontName;
    case ProfileField::FontSize:
        return number(a.fontSize);
    case ProfileField::FontStyle:
        return fontStyleText(a.bold, a.italic);
    case ProfileField::TextColor:
        return colour(a.textColor);
    case ProfileField::OutlineColor:
        return colour(a.outlineColor);
    case ProfileField::OutlineWidth:
        return number(a.outlineWidth);
    case ProfileField::Position:
        return a.position;
    case ProfileField::DateFormatDateTime:
        return number(a.dateFormatDateTime);
    case ProfileField::DateFormatOriginal:
        return number(a.dateFormatOriginal);
    case ProfileField::DateFormatCreated:
        return number(a.dateFormatCreated);
    case ProfileField::CustomXMax:
        return number(a.customXMax);
    case ProfileField::CustomX:
        return number(a.customX);
    case ProfileField::CustomYMax:
        return number(a.customYMax);
    case ProfileField::CustomY:
        return number(a.customY);
    case ProfileField::BorderWidth:
        return number(a.borderWidth);
    case ProfileField::Opacity:
        return number(a.opacity);
    case ProfileField::JpegQuality:
        return number(a.jpegQuality);
    case ProfileField::DateFormatOther:
        return number(a.dateFormatOther);
    case ProfileField::ProportionalSize:
        return profileBooleanText(a.proportionalSize) + u',' + number(a.referenceHeight);
    case ProfileField::Brightness:
        return number(a.brightness);
    case ProfileField::Contrast:
        return number(a.contrast);
    case ProfileField::Effect:
        return photoEffectName(a.effect);
    case ProfileField::SepiaLevel:
        return number(a.sepiaLevel);
    case ProfileField::KeepFlags:
        return a.keepFlags;
    }
    return {};
}

QByteArray profileBytes(const StampAttributes& a)
{
    QByteArray out;
    out.reserve(512 + a.stampTexts.size() * 32);
    const auto line = [&out](const QByteArray& value) {
        out += value;
        out += "\r\n";
    };
    line(ProfileHeader.toLatin1());
    for (const ProfileLine& value : ProfileLayout)
        line(valueBytes(profileFieldText(a, value.field)));
    for (int k = 1; k <= MarkerLineCount; ++k)
        line(markerLine(k));
    for (const StampText& entry : a.stampTexts) {
        line(valueBytes(entry.mask));
        line(profileBooleanText(entry.ticked).toLatin1());
    }
    return out;
}

ProfileWriteResult writeAttributeProfile(const QString& path, const StampAttributes& attributes)
{
    ProfileWriteResult result;
    result.written = platform::writeFileSafely(path, profileBytes(attributes), &result.error);
    return result;
}

} // namespace tess::profiles
