#include "render/StampRenderer.h"

#include "adjust/PixelEffects.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace tess::render {

namespace {

constexpr qint64 CoordinateLimit = qint64(1) << 30;

int clampCoordinate(qint64 v)
{
    return int(std::clamp(v, -CoordinateLimit, CoordinateLimit));
}

int clampCoordinate(double v)
{
    return int(std::clamp(v, double(-CoordinateLimit), double(CoordinateLimit)));
}

/// Anti-aliasing and hinting may put ink a little beyond the glyph metrics; the bounds
/// take this much extra room (it only costs a few pixels of copying).
qreal inkMargin(const QFont& font)
{
    return 2 + font.pixelSize() / 8;
}

qreal penWidth(int outlineWidth)
{
    // Negative widths draw like width 1; the cap keeps a stray value from stroking forever.
    return std::clamp(outlineWidth, 1, 1000);
}

/// The cell and the ink of one line whose baseline starts at (x, baseline).
QRectF lineBounds(const QFontMetricsF& metrics, qreal x, qreal baseline, const QString& line,
                  qreal grow)
{
    const QRectF cell(x, baseline - metrics.ascent(), metrics.horizontalAdvance(line),
                      metrics.ascent() + metrics.descent());
    const QRectF ink = metrics.boundingRect(line).translated(x, baseline);
    return cell.united(ink).adjusted(-grow, -grow, grow, grow);
}

QRect alignedClampedRect(const QRectF& r)
{
    if (r.isEmpty())
        return QRect();
    const int left = clampCoordinate(std::floor(r.left()));
    const int top = clampCoordinate(std::floor(r.top()));
    const int right = clampCoordinate(std::ceil(r.right()));
    const int bottom = clampCoordinate(std::ceil(r.bottom()));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

/// Calls visit(i, bounds, baseline) for every non-empty line.
template <typename Visit>
void forEachTextLine(const QFont& font, int x, int y, int lineHeight, int outlineWidth,
                     const QStringList& lines, Visit visit)
{
    const QFontMetricsF metrics(font);
    const int ascent = QFontMetrics(font).ascent();
    const qreal grow = inkMargin(font) + (outlineWidth != 0 ? penWidth(outlineWidth) / 2 : 0);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty())
            continue;
        const qreal baseline = qreal(y) + qreal(lineHeight) * qreal(i) + ascent;
        visit(i, lineBounds(metrics, x, baseline, lines.at(i), grow), baseline);
    }
}

/// Glyph contours that are filled and stroked together.
struct ContourGroup
{
    QRectF reach; ///< every device pixel the group may paint lies inside, with a margin
    QPainterPath path;
};

/// Adds to \a contours the subpaths (glyph contours) of \a glyphs whose control points box
/// satisfies keep(box), each reaching reachOf(box). Contours that cannot show are left out:
/// a line many times wider than the photo would otherwise be stroked in full. The kept
/// elements are copied unchanged, so they draw exactly as in the whole path.
template <typename Keep, typename Reach>
void addContours(std::vector<ContourGroup>& contours, const QPainterPath& glyphs, Keep keep,
                 Reach reachOf)
{
    const int count = glyphs.elementCount();
    int start = 0;
    while (start < count) {
        const QPainterPath::Element& first = glyphs.elementAt(start);
        qreal left = first.x, right = first.x, top = first.y, bottom = first.y;
        int end = start + 1;
        for (; end < count && !glyphs.elementAt(end).isMoveTo(); ++end) {
            const QPainterPath::Element& element = glyphs.elementAt(end);
            left = std::min(left, element.x);
            right = std::max(right, element.x);
            top = std::min(top, element.y);
            bottom = std::max(bottom, element.y);
        }
        const QRectF box(QPointF(left, top), QPointF(right, bottom));
        if (keep(box)) {
            ContourGroup contour{reachOf(box), QPainterPath()};
            QPainterPath& path = contour.path;
            path.setFillRule(Qt::WindingFill); // glyph contours may overlap
            for (int e = start; e < end; ++e) {
                const QPainterPath::Element& element = glyphs.elementAt(e);
                if (element.isMoveTo()) {
                    path.moveTo(element);
                } else if (element.isLineTo()) {
                    path.lineTo(element);
                } else if (element.isCurveTo() && e + 2 < end) {
                    path.cubicTo(element, glyphs.elementAt(e + 1), glyphs.elementAt(e + 2));
                    e += 2;
                }
            }
            contours.push_back(std::move(contour));
        }
        start = end;
    }
}

/// The contours joined into groups whose reaches do not meet. No pixel is painted by two
/// groups, so drawing the groups one by one gives every pixel exactly what one drawing of
/// all the contours gives; and the rasteriser, whose time grows faster than the size of
/// what it draws, is much quicker on many small paths than on one large one.
std::vector<QPainterPath> disjointGroups(std::vector<ContourGroup> contours)
{
    std::sort(contours.begin(), contours.end(), [](const ContourGroup& a, const ContourGroup& b) {
        return a.reach.left() < b.reach.left();
    });
    std::vector<QPainterPath> done;
    std::vector<ContourGroup> open; // groups a later contour (further right) may still meet
    for (ContourGroup& contour : contours) {
        ContourGroup group = std::move(contour);
        // Groups ending left of this contour meet no later one either.
        for (auto it = open.begin(); it != open.end();) {
            if (it->reach.right() < group.reach.left()) {
                done.push_back(std::move(it->path));
                it = open.erase(it);
            } else {
                ++it;
            }
        }
        for (bool merged = true; merged;) {
            merged = false;
            for (auto it = open.begin(); it != open.end(); ++it) {
                if (it->reach.intersects(group.reach)) {
                    group.reach |= it->reach;
                    it->path.addPath(group.path);
                    group.path = std::move(it->path);
                    open.erase(it);
                    merged = true;
                    break;
                }
            }
        }
        open.push_back(std::move(group));
    }
    for (ContourGroup& group : open)
        done.push_back(std::move(group.path));
    return done;
}

inline uchar blendByte(uint bearing, uint free, uint alpha)
{
    return uchar((bearing * alpha + free * (255 - alpha) + 127) / 255);
}

/// dst's pixels at \a at := src's pixels of \a from blended over them at alpha.
/// Both pictures are Format_BGR888; the rectangles lie inside them. Returns false when dst
/// could not be made writable.
bool blendInto(QImage& dst, QPoint at, const QImage& src, const QRect& from, quint8 alpha)
{
    uchar* const bits = dst.bits();
    if (!bits)
        return false;
    const qsizetype rowBytes = qsizetype(from.width()) * 3;
    for (int row = 0; row < from.height(); ++row) {
        uchar* d = bits + qsizetype(at.y() + row) * dst.bytesPerLine() + qsizetype(at.x()) * 3;
        const uchar* s = src.constScanLine(from.y() + row) + qsizetype(from.x()) * 3;
        for (qsizetype b = 0; b < rowBytes; ++b)
            d[b] = blendByte(s[b], d[b], alpha);
    }
    return true;
}

/// dst's pixels at \a at := all of src (both Format_BGR888, src inside dst there).
bool copyInto(QImage& dst, QPoint at, const QImage& src)
{
    uchar* const bits = dst.bits();
    if (!bits)
        return false;
    const size_t rowBytes = size_t(src.width()) * 3;
    for (int row = 0; row < src.height(); ++row)
        std::memcpy(bits + qsizetype(at.y() + row) * dst.bytesPerLine() + qsizetype(at.x()) * 3,
                    src.constScanLine(row), rowBytes);
    return true;
}

QImage asBgr888(const QImage& image)
{
    return image.format() == QImage::Format_BGR888 ? image
                                                   : image.convertToFormat(QImage::Format_BGR888);
}

} // namespace

QColor colorFromBgr(quint32 color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

int stampPointSize(const StampAttributes& attributes, int photoHeight)
{
    if (!attributes.proportionalSize || attributes.referenceHeight <= 0)
        return attributes.fontSize;
    const double scaled =
        double(attributes.fontSize) * double(photoHeight) / double(attributes.referenceHeight);
    // The clamp only matters for sizes no font can be drawn at anyway.
    return int(std::nearbyint(std::clamp(scaled, -1e6, 1e6)));
}

QFont stampFont(const StampAttributes& attributes, int photoHeight)
{
    const double points = stampPointSize(attributes, photoHeight);
    const double pixels = std::round(points * 96.0 / 72.0); // halves away from zero
    QFont font(attributes.fontName);
    font.setPixelSize(int(std::clamp(pixels, 1.0, double(MaxStampPixelSize))));
    font.setBold(attributes.bold);
    font.setItalic(attributes.italic);
    // Explicit choices, so that neither the screen's scaling nor its sub-pixel layout
    // changes the glyphs drawn into a photo.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(
        QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return font;
}

StampBlock measureStampLines(const QFont& font, const QStringList& lines)
{
    const QFontMetrics metrics(font);
    StampBlock block;
    for (const QString& line : lines) {
        if (!line.isEmpty())
            block.maxWidth = std::max(block.maxWidth, metrics.horizontalAdvance(line));
    }
    block.lineHeight = metrics.ascent() + metrics.descent();
    block.blockHeight = clampCoordinate(qint64(lines.size()) * block.lineHeight);
    return block;
}

std::optional<QPoint> stampAnchor(const QString& position, QSize photo, int maxWidth,
                                  int blockHeight, int borderWidth, int customX, int customY)
{
    const qint64 w = photo.width();
    const qint64 h = photo.height();
    const qint64 right = w - maxWidth - borderWidth;
    const qint64 bottom = h - blockHeight - borderWidth;
    qint64 x = 0;
    qint64 y = 0;
    if (position == positions::BottomRight) {
        x = right;
        y = bottom;
    } else if (position == positions::TopRight) {
        x = right;
        y = borderWidth;
    } else if (position == positions::BottomLeft) {
        x = borderWidth;
        y = bottom;
    } else if (position == positions::TopLeft) {
        x = borderWidth;
        y = borderWidth;
    } else if (position == positions::Centre) {
        return QPoint(clampCoordinate(std::nearbyint(double(w) / 2 - double(maxWidth) / 2)),
                      clampCoordinate(std::nearbyint(double(h) / 2 - double(blockHeight) / 2)));
    } else if (position == positions::Custom) {
        x = customX;
        y = customY;
    } else {
        return std::nullopt;
    }
    return QPoint(clampCoordinate(x), clampCoordinate(y));
}

QRect stampLinesBounds(const QFont& font, int x, int y, int lineHeight, int outlineWidth,
                       const QStringList& lines)
{
    QRectF bounds;
    forEachTextLine(font, x, y, lineHeight, outlineWidth, lines,
                    [&](qsizetype, const QRectF& line, qreal) { bounds |= line; });
    return alignedClampedRect(bounds);
}

QRect drawStampLines(QPainter& painter, const QFont& font, quint32 textColor, quint32 outlineColor,
                     int x, int y, int lineHeight, int outlineWidth, const QStringList& lines)
{
    // Lines entirely off the device are left out: they would draw nothing, and glyph
    // positions far outside it overflow the font engine's fixed-point coordinates.
    const QPaintDevice* device = painter.device();
    const QRectF deviceRect = device ? QRectF(0, 0, device->width(), device->height()) : QRectF();
    const QTransform toDevice = painter.combinedTransform();
    const auto visible = [&](const QRectF& line) {
        return deviceRect.isEmpty() || toDevice.mapRect(line).intersects(deviceRect);
    };

    painter.save();
    painter.setFont(font);
    painter.setBackgroundMode(Qt::TransparentMode);
    QRectF bounds;
    if (outlineWidth != 0) {
        std::vector<ContourGroup> contours;
        const qreal grow = inkMargin(font) + penWidth(outlineWidth) / 2;
        const auto glyphVisible = [&](const QRectF& glyph) {
            return visible(glyph.adjusted(-grow, -grow, grow, grow));
        };
        // The stroke reaches half the pen beyond the control points (round joins and caps);
        // two device pixels more keep groups that share no pixel well apart.
        const qreal halfPen = penWidth(outlineWidth) / 2;
        const auto reachOf = [&](const QRectF& glyph) {
            return toDevice.mapRect(glyph.adjusted(-halfPen, -halfPen, halfPen, halfPen))
                .adjusted(-2, -2, 2, 2);
        };
        forEachTextLine(font, x, y, lineHeight, outlineWidth, lines,
                        [&](qsizetype i, const QRectF& line, qreal baseline) {
                            bounds |= line;
                            if (!visible(line))
                                return;
                            QPainterPath glyphs;
                            glyphs.addText(QPointF(x, baseline), font, lines.at(i));
                            addContours(contours, glyphs, glyphVisible, reachOf);
                        });
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(QBrush(colorFromBgr(outlineColor)), penWidth(outlineWidth),
                            Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(colorFromBgr(textColor));
        for (const QPainterPath& group : disjointGroups(std::move(contours)))
            painter.drawPath(group);
    } else {
        painter.setPen(colorFromBgr(textColor));
        forEachTextLine(font, x, y, lineHeight, outlineWidth, lines,
                        [&](qsizetype i, const QRectF& line, qreal baseline) {
                            bounds |= line;
                            if (visible(line))
                                painter.drawText(QPointF(x, baseline), lines.at(i));
                        });
    }
    painter.restore();
    return alignedClampedRect(bounds);
}

QImage blendStamp(const QImage& textFree, const QImage& textBearing, quint8 alpha,
                  const QRect& region)
{
    QImage result = asBgr888(textFree);
    const QImage bearing = asBgr888(textBearing);
    const QRect area = (region.isNull() ? result.rect() : region) & result.rect() & bearing.rect();
    if (result.isNull() || bearing.isNull() || area.isEmpty() || alpha == 0)
        return result;
    if (!blendInto(result, area.topLeft(), bearing, area, alpha))
        return QImage();
    return result;
}

namespace {

/// The render after the adjustment: \a adjusted is the adjusted photo, held by no one else.
RenderOutput stampAdjusted(QImage adjusted, const StampAttributes& attributes,
                           const QStringList& lines, AdjustedText adjustedText)
{
    RenderOutput failed;
    failed.failed = true;
    adjusted = asBgr888(adjusted);
    if (adjusted.isNull())
        return failed;

    const auto withoutText = [&adjusted] {
        RenderOutput out;
        out.stamped = adjusted;
        return out;
    };

    const QFont font = stampFont(attributes, adjusted.height());
    const StampBlock block = measureStampLines(font, lines);
    const std::optional<QPoint> anchor =
        stampAnchor(attributes.position, adjusted.size(), block.maxWidth, block.blockHeight,
                    attributes.borderWidth, attributes.customX, attributes.customY);
    if (!anchor)
        return withoutText();
    const int outlineWidth = attributes.outlineWidth;
    const QRect touched =
        stampLinesBounds(font, anchor->x(), anchor->y(), block.lineHeight, outlineWidth, lines) &
        adjusted.rect();
    if (touched.isEmpty())
        return withoutText();

    // The text is drawn on a copy of just the rectangle it touches. The stamped photo differs
    // from the adjusted one only there, so it is made from this layer, in place.
    // Outlines are filled and stroked on 32-bit pixels, the painter's own format, instead of
    // converting 24-bit pixels span by span; the conversions there and back are exact and
    // the paths blend alike. Plain text stays on 24 bits, where its glyphs blend otherwise.
    QImage textFree = adjusted.copy(touched);
    QImage layer = outlineWidth != 0 ? textFree.convertToFormat(QImage::Format_RGB32) : textFree;
    if (layer.isNull() || textFree.isNull())
        return failed;
    {
        // The text keeps the photo's coordinates and the painter moves the layer under it:
        // the outlines and strokes are built from the very same numbers as on the full
        // photo, and shifting them by the layer's whole-pixel, non-negative offset is exact
        // in floating point, so every pixel comes out as if drawn on the full photo.
        QPainter painter(&layer);
        painter.translate(-touched.x(), -touched.y());
        drawStampLines(painter, font, attributes.textColor, attributes.outlineColor, anchor->x(),
                       anchor->y(), block.lineHeight, outlineWidth, lines);
    }
    if (layer.format() != QImage::Format_BGR888)
        layer.convertTo(QImage::Format_BGR888);
    if (layer.isNull())
        return failed;

    const quint8 alpha = quint8(attributes.opacity & 0xFF);
    // The adjusted photo is the only holder of its pixels here: writing it copies nothing.
    QImage stamped = std::move(adjusted);
    if (alpha == 255) {
        if (!copyInto(stamped, touched.topLeft(), layer))
            return failed;
    } else if (alpha != 0 && !blendInto(stamped, touched.topLeft(), layer, layer.rect(), alpha)) {
        return failed;
    }
    RenderOutput out;
    out.stamped = std::move(stamped);
    out.patchAt = touched.topLeft();
    if (adjustedText == AdjustedText::None)
        out.adjustedPatch = std::move(textFree);
    else if (alpha != 255)
        out.adjustedPatch = std::move(layer);
    return out;
}

} // namespace

RenderOutput renderStamp(const QImage& base, const StampAttributes& attributes,
                         const QStringList& lines, AdjustedText adjustedText, QImage&& spare)
{
    if (base.isNull())
        return RenderOutput();
    return stampAdjusted(
        adjust::applyPhotoAdjustments(base, attributes.effect, quint8(attributes.sepiaLevel & 0xFF),
                                      attributes.brightness, attributes.contrast, std::move(spare)),
        attributes, lines, adjustedText);
}

RenderOutput renderStamp(QImage&& base, const StampAttributes& attributes, const QStringList& lines,
                         AdjustedText adjustedText)
{
    if (base.isNull())
        return RenderOutput();
    return stampAdjusted(adjust::applyPhotoAdjustments(std::move(base), attributes.effect,
                                                       quint8(attributes.sepiaLevel & 0xFF),
                                                       attributes.brightness, attributes.contrast),
                         attributes, lines, adjustedText);
}

QImage RenderOutput::adjusted() const
{
    if (adjustedPatch.isNull() || stamped.isNull())
        return stamped;
    QImage whole = stamped.copy();
    if (!copyInto(whole, patchAt, adjustedPatch))
        return QImage();
    return whole;
}

} // namespace tess::render
