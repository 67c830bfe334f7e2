#pragma once

#include "app/attributes/StampAttributes.h"
#include "profiles/ProfileLayout.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace tess::profiles {

/// Line 1 of every profile.
inline const QString ProfileHeader = QStringLiteral("Orvane Tessarine 1.0");
/// The default profile's file name in the data folder.
inline const QString DefaultProfileName = QStringLiteral("default.tsrx");
/// Files larger than this cannot be profiles and are refused unread.
inline constexpr qint64 MaxProfileBytes = qint64(64) * 1024 * 1024;
/// A file with a line of more characters is no profile.
inline constexpr qsizetype MaxProfileLineLength = 64 * 1024;

/// What the profile reader applies its values to, one call per line as it reads.
///
/// The reader passes the values as they stand in the file (after the marker and
/// conversion rules); the target applies the rules of the control that holds each
/// value: the outline width rule, the track bar rules, the opacity choice, the effect
/// and sepia-level menu marks, the re-renders.
class ProfileTarget
{
public:
    virtual ~ProfileTarget() = default;

    /// Lines 2 and 3, only when the window position is wanted.
    virtual void setWindowPosition(int left, int top) = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(int size) = 0;
    /// Only for the four style lines "Regular", "Bold", "Italic" and "Bold, Italic".
    virtual void setFontStyle(bool bold, bool italic) = 0;
    virtual void setTextColor(quint32 color) = 0;
    virtual void setOutlineColor(quint32 color) = 0;
    /// Any number; 0..5 are taken as they are, anything else means 1.
    virtual void setOutlineWidth(int width) = 0;
    virtual void setDateFormatDateTime(int index) = 0;
    virtual void setDateFormatOriginal(int index) = 0;
    virtual void setDateFormatCreated(int index) = 0;
    virtual void setDateFormatOther(int index) = 0;
    /// Raw values: a maximum below 0 is ignored, a position is clamped into 0..maximum,
    /// lowering the maximum pulls the position down; a position that changes marks
    /// the anchor "Custom".
    virtual void setHorizontalTrackBarMax(int max) = 0;
    virtual void setHorizontalTrackBarPosition(int position) = 0;
    virtual void setVerticalTrackBarMax(int max) = 0;
    virtual void setVerticalTrackBarPosition(int position) = 0;
    virtual void setBorderWidth(int width) = 0;
    /// Any number; 51, 102, 153, 204 and 255 select their menu choice, others Custom.
    virtual void setOpacity(int opacity) = 0;
    virtual void setJpegQuality(int quality) = 0;
    virtual void setProportionalSize(bool on, int referenceHeight) = 0;
    virtual void setBrightness(int brightness) = 0;
    virtual void setContrast(int contrast) = 0;
    /// Always called for the effect line, before `selectEffect`.
    virtual void resetEffect() = 0;
    /// Only for greyscale, sepia, flaxen and negative.
    virtual void selectEffect(PhotoEffect effect) = 0;
    virtual void setSepiaLevel(int level) = 0;
    virtual void setKeepFlags(const QString& flags) = 0;
    /// Appends an unticked entry after those already in the list.
    virtual void addStampText(const QString& mask) = 0;
    virtual void setLastStampTextTicked(bool ticked) = 0;
    /// The position text of line 10, unchecked, applied after everything else.
    virtual void applyHeldPosition(const QString& position) = 0;
    /// The read failed: the values applied so far stay; centre the window and make
    /// the outline width 0.
    virtual void recover() = 0;
};

/// Applies a profile to a plain StampAttributes record with the same value rules as
/// the main window. The window centring of the recovery has no place here;
/// `recovered()` tells that it happened.
class AttributesTarget : public ProfileTarget
{
public:
    explicit AttributesTarget(StampAttributes& attributes) : m_attributes(attributes) {}

    bool recovered() const { return m_recovered; }

    void setWindowPosition(int left, int top) override;
    void setFontName(const QString& name) override;
    void setFontSize(int size) override;
    void setFontStyle(bool bold, bool italic) override;
    void setTextColor(quint32 color) override;
    void setOutlineColor(quint32 color) override;
    void setOutlineWidth(int width) override;
    void setDateFormatDateTime(int index) override;
    void setDateFormatOriginal(int index) override;
    void setDateFormatCreated(int index) override;
    void setDateFormatOther(int index) override;
    void setHorizontalTrackBarMax(int max) override;
    void setHorizontalTrackBarPosition(int position) override;
    void setVerticalTrackBarMax(int max) override;
    void setVerticalTrackBarPosition(int position) override;
    void setBorderWidth(int width) override;
    void setOpacity(int opacity) override;
    void setJpegQuality(int quality) override;
    void setProportionalSize(bool on, int referenceHeight) override;
    void setBrightness(int brightness) override;
    void setContrast(int contrast) override;
    void resetEffect() override;
    void selectEffect(PhotoEffect effect) override;
    void setSepiaLevel(int level) override;
    void setKeepFlags(const QString& flags) override;
    void addStampText(const QString& mask) override;
    void setLastStampTextTicked(bool ticked) override;
    void applyHeldPosition(const QString& position) override;
    void recover() override;

private:
    void moveTrackBar(int& value, int position);
    void setTrackBarMax(int& value, int& maxValue, int max);
    void setTrackBarPosition(int& value, int maxValue, int position);

    StampAttributes& m_attributes;
    bool m_recovered = false;
};

/// The outline width rule of the Outline Width menu: 0..5 as they are, anything else 1.
int outlineWidthFor(int width);

/// "Regular", "Bold", "Italic" or "Bold, Italic".
QString fontStyleText(bool bold, bool italic);
/// The exact four style texts; false (and nothing changed) for anything else.
bool fontStyleFromText(QStringView text, bool* bold, bool* italic);

/// A decimal integer with an optional sign that fits in 32 bits; nothing else.
std::optional<int> profileInteger(QStringView text);
/// A profile integer (any value but 0 is true) or "True"/"False" in any case.
std::optional<bool> profileBoolean(QStringView text);
/// "-1" or "0", as booleans are written.
QString profileBooleanText(bool value);

/// Reads the profile at `path` and applies it to `target` line by line. With
/// `withWindowPosition` false lines 2 and 3 are read and ignored. On any failure (no
/// such file, not a profile, a conversion error, a read error) calls
/// `target.recover()` and returns false; the values applied before stay. Never throws.
bool loadAttributeProfile(const QString& path, ProfileTarget& target, bool withWindowPosition);

/// Reads a profile into a copy of `base` (stamp text entries are appended to those
/// `base` holds; the window position is ignored). nullopt when the read fails.
std::optional<StampAttributes> readProfileAttributes(const QString& path,
                                                     const StampAttributes& base);

struct ProfileWriteResult
{
    bool written = false;
    QString error; ///< the file system's message when not written
    bool ok() const { return written; }
};

/// The text of `field`'s line in a profile holding `attributes` (the line break rule of
/// the writer aside).
QString profileFieldText(const StampAttributes& attributes, ProfileField field);

/// The bytes of a profile holding `attributes`, lines ending in CR LF, text in UTF-8.
QByteArray profileBytes(const StampAttributes& attributes);

/// Writes `attributes` (the window position included) to `path`, creating or
/// replacing it through platform::writeFileSafely, so a failure leaves an existing file as
/// it was and gives the system's reason.
ProfileWriteResult writeAttributeProfile(const QString& path, const StampAttributes& attributes);

} // namespace tess::profiles
