#pragma once

#include <QByteArray>
#include <QStringView>
#include <array>
#include <functional>

namespace tess::profiles {

/// What each value line of a profile holds, in file order (lines 2 to 27).
enum class ProfileField
{
    WindowLeft,
    WindowTop,
    FontName,
    FontSize,
    FontStyle,
    TextColor,
    OutlineColor,
    OutlineWidth,
    Position,
    DateFormatDateTime,
    DateFormatOriginal,
    DateFormatCreated,
    CustomXMax,
    CustomX,
    CustomYMax,
    CustomY,
    BorderWidth,
    Opacity,
    JpegQuality,
    DateFormatOther,
    ProportionalSize,
    Brightness,
    Contrast,
    Effect,
    SepiaLevel,
    KeepFlags,
};

/// How a value line is read and written.
enum class LineKind
{
    /// Taken as it stands; written on one line (a line break in the value becomes a blank).
    Text,
    /// A profile integer (`lineInteger`); written in decimal.
    Integer,
    /// A profile integer taken as 0x00BBGGRR; written as the signed 32-bit number.
    Colour,
    /// "Regular", "Bold", "Italic" or "Bold, Italic"; any other text changes nothing.
    FontStyle,
    /// "on,height" (`lineSizeRule`); written "-1,768" or "0,768".
    SizeRule,
    /// An effect name; any other text means no effect.
    Effect,
};

/// How a file of an older, shorter version of the format shows that it has no such line:
/// the first of its twelve marker lines "-1-" … "-12-" stands there instead.
enum class OlderFiles
{
    /// Every version has the line.
    HaveIt,
    /// Exactly one of the markers that can stand on this line: "-1-" on line 20, "-1-" or
    /// "-2-" on line 21, and so on.
    MarkerHere,
    /// Any text beginning with "-" (so no negative number either).
    DashHere,
};

struct ProfileLine
{
    ProfileField field;
    LineKind kind;
    OlderFiles olderFiles = OlderFiles::HaveIt;
    /// The text the line is read as when an older file has a marker there.
    const char16_t* olderValue = nullptr;
};

/// Line 1 is the header; the value lines follow, then the markers, then the stamp text list
/// as pairs of lines (the mask, then its check mark as a profile boolean).
inline constexpr int FirstValueLine = 2;
inline constexpr int MarkerLineCount = 12;

inline constexpr std::array<ProfileLine, 26> ProfileLayout = {{
    {ProfileField::WindowLeft, LineKind::Integer},
    {ProfileField::WindowTop, LineKind::Integer},
    {ProfileField::FontName, LineKind::Text},
    {ProfileField::FontSize, LineKind::Integer},
    {ProfileField::FontStyle, LineKind::FontStyle},
    {ProfileField::TextColor, LineKind::Colour},
    {ProfileField::OutlineColor, LineKind::Colour},
    {ProfileField::OutlineWidth, LineKind::Integer},
    {ProfileField::Position, LineKind::Text},
    {ProfileField::DateFormatDateTime, LineKind::Integer},
    {ProfileField::DateFormatOriginal, LineKind::Integer},
    {ProfileField::DateFormatCreated, LineKind::Integer},
    {ProfileField::CustomXMax, LineKind::Integer},
    {ProfileField::CustomX, LineKind::Integer},
    {ProfileField::CustomYMax, LineKind::Integer},
    {ProfileField::CustomY, LineKind::Integer},
    {ProfileField::BorderWidth, LineKind::Integer},
    {ProfileField::Opacity, LineKind::Integer},
    // Lines 20 to 27 came with later versions of the format.
    {ProfileField::JpegQuality, LineKind::Integer, OlderFiles::MarkerHere, u"95"},
    {ProfileField::DateFormatOther, LineKind::Integer, OlderFiles::MarkerHere, u"0"},
    {ProfileField::ProportionalSize, LineKind::SizeRule, OlderFiles::MarkerHere, u"0,768"},
    {ProfileField::Brightness, LineKind::Integer, OlderFiles::DashHere, u"255"},
    {ProfileField::Contrast, LineKind::Integer, OlderFiles::DashHere, u"255"},
    {ProfileField::Effect, LineKind::Effect},
    {ProfileField::SepiaLevel, LineKind::Integer, OlderFiles::DashHere, u"45"},
    {ProfileField::KeepFlags, LineKind::Text, OlderFiles::DashHere, u"1111"},
}};

/// A line that should hold a number but does not; ends the read of the profile.
struct ProfileConversionError
{};

/// A profile integer; throws ProfileConversionError.
int lineInteger(QStringView text);
/// A profile boolean; throws ProfileConversionError.
bool lineBoolean(QStringView text);

struct SizeRule
{
    bool on = false;
    int referenceHeight = 768;
};
/// "boolean,height"; throws ProfileConversionError.
SizeRule lineSizeRule(QStringView text);

/// The text of one list entry: its mask and its check mark line, unconverted.
struct ProfileEntryLines
{
    QStringView mask;
    QStringView ticked;
};

/// Walks a profile's text by the layout: `value` gets each value line in file order, with
/// the older-file rule applied; the marker lines are skipped; `entry` gets each list entry.
/// Lines missing at the end read as empty. Whatever the callbacks throw ends the walk.
void readProfileLayout(QStringView text,
                       const std::function<void(const ProfileLine&, QStringView)>& value,
                       const std::function<void(const ProfileEntryLines&)>& entry);

/// Marker line `k` (1 to 12): "-k-".
QByteArray markerLine(int k);

} // namespace tess::profiles
