#pragma once

#include <QList>
#include <QString>

namespace tess {

/// The photo effect under the stamp.
enum class PhotoEffect
{
    None,
    Greyscale,
    Sepia,
    Flaxen,
    Negative
};

/// "none", "greyscale", "sepia", "flaxen", "negative".
QString photoEffectName(PhotoEffect effect);
/// Exact lower-case names only; nullopt-like false for anything else.
bool photoEffectFromName(const QString& name, PhotoEffect* effect);

/// The anchor positions, compared case-sensitively.
namespace positions {
inline const QString BottomRight = QStringLiteral("Bottom Right");
inline const QString TopRight = QStringLiteral("Top Right");
inline const QString BottomLeft = QStringLiteral("Bottom Left");
inline const QString TopLeft = QStringLiteral("Top Left");
inline const QString Centre = QStringLiteral("Centre");
inline const QString Custom = QStringLiteral("Custom");
} // namespace positions

/// One entry of the stamp text list.
struct StampText
{
    QString mask;
    bool ticked = false;
    bool operator==(const StampText&) const = default;
};

/// Every setting of how a stamp looks and how a photo is treated.
/// Colours are 0x00BBGGRR. All integers are signed 32-bit.
struct StampAttributes
{
    int windowLeft = 0;
    int windowTop = 0;

    QString fontName = QStringLiteral("Arial");
    int fontSize = 18;
    bool bold = false;
    bool italic = false;

    quint32 textColor = 0;
    quint32 outlineColor = 0;
    int outlineWidth = 0;

    QString position = positions::BottomRight;
    int customX = 0;
    int customXMax = 10;
    int customY = 0;
    int customYMax = 10;
    int borderWidth = 5;

    int opacity = 255;
    int jpegQuality = 95;

    int dateFormatDateTime = 0;
    int dateFormatOriginal = 0;
    int dateFormatCreated = 0;
    int dateFormatOther = 0;

    bool proportionalSize = false;
    int referenceHeight = 768;

    int brightness = 255;
    int contrast = 255;
    PhotoEffect effect = PhotoEffect::None;
    int sepiaLevel = 45;
    QString keepFlags = QStringLiteral("1111");

    QList<StampText> stampTexts;

    bool operator==(const StampAttributes&) const = default;

    /// Character i (1-based) of the keep flags is "1".
    bool keeps(int i) const { return keepFlags.size() >= i && keepFlags.at(i - 1) == u'1'; }
};

/// The values at program start, before the default profile is read.
StampAttributes startupStampAttributes();

/// Applies the reset of the New Stamp Attributes / Reload Default Attributes commands:
/// the fields that reset change, the others (window position, track bar maxima,
/// proportional size, reference height, effect) stay.
void resetStampAttributes(StampAttributes& attributes);

} // namespace tess
