#include "metadata/Orientation.h"

#include <cstring>

namespace tess::metadata {

namespace {

bool swapsAxes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

} // namespace

QSize uprightSize(QSize stored, int orientation)
{
    return swapsAxes(orientation) ? stored.transposed() : stored;
}

QPoint uprightPoint(QPoint p, QSize stored, int orientation)
{
    const int x = p.x(), y = p.y();
    const int w = stored.width() - 1, h = stored.height() - 1;
    switch (orientation) {
    case 2:
        return {w - x, y};
    case 3:
        return {w - x, h - y};
    case 4:
        return {x, h - y};
    case 5:
        return {y, x};
    case 6:
        return {h - y, x};
    case 7:
        return {h - y, w - x};
    case 8:
        return {y, w - x};
    default:
        return p;
    }
}

QPoint storedPoint(QPoint p, QSize stored, int orientation)
{
    // Every turn is its own inverse but the quarter turns, which undo each other.
    const int inverse = orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
    return uprightPoint(p, uprightSize(stored, orientation), inverse);
}

QImage uprightPicture(const QImage& picture, int orientation)
{
    if (orientation < 2 || orientation > 8 || picture.isNull())
        return picture;
    // Pixels are moved as whole bytes.
    const QImage stored =
        picture.depth() % 8 == 0 ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    const int w = stored.width(), h = stored.height();
    QImage out(uprightSize(stored.size(), orientation), stored.format());
    if (out.isNull())
        return out;
    const int bpp = stored.depth() / 8;
    const qsizetype stride = stored.bytesPerLine();
    // Upright pixel (x, y) is stored pixel (sx, sy); where the walk along an upright row
    // starts in the stored picture and how far each step moves there.
    struct Walk
    {
        qsizetype rowStart(int y) const { return origin + y * down; }
        qsizetype origin, down, across;
    };
    const qsizetype right = bpp, left = -bpp, below = stride, above = -stride;
    const qsizetype topLeft = 0, topRight = qsizetype(w - 1) * bpp;
    const qsizetype bottomLeft = qsizetype(h - 1) * stride, bottomRight = bottomLeft + topRight;
    Walk walk{};
    switch (orientation) {
    case 2: // mirrored: U(x, y) = S(w-1-x, y)
        walk = {topRight, below, left};
        break;
    case 3: // turned half round: U(x, y) = S(w-1-x, h-1-y)
        walk = {bottomRight, above, left};
        break;
    case 4: // upside down mirrored: U(x, y) = S(x, h-1-y)
        walk = {bottomLeft, above, right};
        break;
    case 5: // transposed: U(x, y) = S(y, x)
        walk = {topLeft, right, below};
        break;
    case 6: // stored a quarter turn left of upright: U(x, y) = S(y, h-1-x)
        walk = {bottomLeft, right, above};
        break;
    case 7: // transverse: U(x, y) = S(w-1-y, h-1-x)
        walk = {bottomRight, left, above};
        break;
    case 8: // stored a quarter turn right of upright: U(x, y) = S(w-1-y, x)
        walk = {topRight, left, below};
        break;
    }
    const uchar* const src = stored.constBits();
    for (int y = 0; y < out.height(); ++y) {
        uchar* line = out.scanLine(y);
        qsizetype from = walk.rowStart(y);
        for (int x = 0; x < out.width(); ++x, from += walk.across, line += bpp)
            std::memcpy(line, src + from, std::size_t(bpp));
    }
    return out;
}

} // namespace tess::metadata
