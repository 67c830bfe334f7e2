#pragma once

#include <QImage>
#include <QSize>

namespace tess::metadata {

/// The picture as it is meant to be seen, from \a stored pixels and their EXIF Orientation
/// (1..8; any other value means 1, and gives the picture back as it is). Exact: every pixel
/// is moved, none is resampled. A null picture when memory runs out.
QImage uprightPicture(const QImage& stored, int orientation);

/// The size of the upright picture: width and height swapped for orientations 5 to 8.
QSize uprightSize(QSize stored, int orientation);

} // namespace tess::metadata
