#pragma once

#include "app/attributes/StampAttributes.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <optional>

class QPainter;

namespace tess::render {

/// The largest em height in pixels that a stamp font gets; far above any real photo's
/// needs, it keeps absurd sizes from a profile away from the font engine.
inline constexpr int MaxStampPixelSize = 16384;

/// A 0x00BBGGRR colour as a QColor.
QColor colorFromBgr(quint32 color);

/// The point size the stamp is drawn at on a photo \a photoHeight pixels high: fontSize,
/// or with proportionalSize fontSize x photoHeight / referenceHeight rounded half to even.
/// A referenceHeight of 0 or less keeps fontSize unscaled.
int stampPointSize(const StampAttributes& attributes, int photoHeight);

/// The stamp font for a photo \a photoHeight pixels high: face, bold and italic from the
/// attributes; the em height in pixels is the point size x 96 / 72 rounded half away from
/// zero (at least 1, at most MaxStampPixelSize), so it never depends on a screen's DPI.
QFont stampFont(const StampAttributes& attributes, int photoHeight);

/// The measured block of stamp lines in one font.
struct StampBlock
{
    int maxWidth = 0;    ///< the largest advance width among the lines (0 if all are empty)
    int lineHeight = 0;  ///< the font's ascent plus descent
    int blockHeight = 0; ///< number of lines x lineHeight
};
StampBlock measureStampLines(const QFont& font, const QStringList& lines);

/// Top-left corner of the block of stamp lines; nullopt for an unknown position.
/// Coordinates far outside any photo are held at +-2^30 so later sums cannot overflow.
std::optional<QPoint> stampAnchor(const QString& position, QSize photo, int maxWidth,
                                  int blockHeight, int borderWidth, int customX, int customY);

/// A rectangle that holds every pixel drawStampLines may touch for the same arguments
/// (in the painter's logical coordinates); empty when no line has text.
QRect stampLinesBounds(const QFont& font, int x, int y, int lineHeight, int outlineWidth,
                       const QStringList& lines);

/// Draws the lines, line i with the top-left of its cell at (x, y + lineHeight * i): plain
/// anti-aliased text in textColor when outlineWidth is 0, else the glyph outlines of all
/// lines as one path, filled with textColor and stroked with a solid outlineColor pen of
/// outlineWidth pixels centred on the outline. Nothing behind the text is painted; empty
/// lines draw nothing. Lines that fall outside the painter's device are skipped.
/// The painter's state is restored on return.
/// Returns stampLinesBounds() for the same arguments.
QRect drawStampLines(QPainter& painter, const QFont& font, quint32 textColor, quint32 outlineColor,
                     int x, int y, int lineHeight, int outlineWidth, const QStringList& lines);

/// A copy of textFree (as Format_BGR888) with textBearing blended over it at the constant
/// alpha: each byte becomes textBearing x alpha / 255 + textFree x (255 - alpha) / 255,
/// rounded. Only \a region (all of the picture when null) is blended; where the two
/// pictures are equal the rule gives the same byte, so a region holding every difference
/// gives the result of a full blend. Pictures of different sizes blend where they overlap.
QImage blendStamp(const QImage& textFree, const QImage& textBearing, quint8 alpha,
                  const QRect& region = QRect());

/// The pictures of one render. The adjusted photo differs from the stamped one at most in
/// the rectangle the text touched, so it is kept as that rectangle alone and made whole only
/// when asked for: a render then writes one full-size picture, not two.
struct RenderOutput
{
    QImage stamped;       ///< the adjusted photo with the stamp lines blended in
    QImage adjustedPatch; ///< the adjusted photo's pixels at patchAt, where they differ
    QPoint patchAt;
    bool failed = false; ///< a picture could not be made (e.g. out of memory); both are null

    /// The adjusted photo (with the text at full opacity when the render drew it there).
    QImage adjusted() const;
};

/// What the adjusted photo of a render shows where the text is.
enum class AdjustedText
{
    None,        ///< the photo without the text (the text preview's path)
    FullOpacity, ///< the text at full opacity (the stamp masks' path)
};

/// One full render: adjusts the base photo with the attributes' effect, brightness and
/// contrast, draws \a lines (callers pass one empty line for none) at the anchor in the
/// stamp font with the attributes' outline width as given (0 plain text, any other value
/// outlined), and blends them in at the low 8 bits of attributes.opacity. A null base gives
/// null pictures without failure. Pictures that come out equal share their pixels.
/// \a spare, a picture of an earlier render that nothing else holds any more, is written
/// over instead of allocating a new full-size picture when it has the base's size.
RenderOutput renderStamp(const QImage& base, const StampAttributes& attributes,
                         const QStringList& lines, AdjustedText adjustedText,
                         QImage&& spare = QImage());
/// The same for a base photo that is not needed afterwards: when \a base holds its pixels
/// alone they are adjusted in place and become the stamped photo, so the render allocates
/// no second full-size picture.
RenderOutput renderStamp(QImage&& base, const StampAttributes& attributes, const QStringList& lines,
                         AdjustedText adjustedText);

} // namespace tess::render
