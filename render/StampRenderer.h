#pragma once

#include "app/attributes/StampAttributes.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QStringList>

#include <optional>

class QPainter;

namespace tess::render {

/// The stamp font for a photo \a photoHeight pixels high: face, bold and italic from the
/// attributes; point size scaled by photoHeight / referenceHeight when proportional.
QFont stampFont(const StampAttributes& attributes, int photoHeight);

/// Top-left corner of the block of stamp lines; nullopt for an unknown position.
std::optional<QPoint> stampAnchor(const QString& position, QSize photo, int maxWidth,
                                  int blockHeight, int borderWidth, int customX, int customY);

/// Draws the lines, line i with the top-left of its cell at (x, y + lineHeight * i).
/// Plain text when outlineWidth is 0, else the glyph outlines filled and stroked.
/// Returns the rectangle the drawing may have touched (clipped to the device by the caller).
QRect drawStampLines(QPainter& painter, const QFont& font, quint32 textColor,
                     quint32 outlineColor, int x, int y, int lineHeight, int outlineWidth,
                     const QStringList& lines);

/// A copy of textFree with textBearing blended over it at the constant alpha.
/// Only \a region is blended (the two pictures must be equal outside it).
QImage blendStamp(const QImage& textFree, const QImage& textBearing, quint8 alpha,
                  const QRect& region = QRect());

struct RenderOutput
{
    QImage adjusted; ///< the adjusted photo (with the text when \a textOnAdjusted)
    QImage stamped;  ///< the adjusted photo with the stamp lines blended in
    bool failed = false; ///< the adjustment step failed (e.g. out of memory)
};

/// One full render: adjusts the base photo with the attributes' effect, brightness and
/// contrast, draws \a lines (never empty: callers pass one empty line for none) at the
/// anchor, and blends them in at attributes.opacity. With \a textOnAdjusted (the mask
/// path) the returned adjusted photo carries the text at full opacity.
RenderOutput renderStamp(const QImage& base, const StampAttributes& attributes,
                         const QStringList& lines, bool textOnAdjusted);

} // namespace tess::render
