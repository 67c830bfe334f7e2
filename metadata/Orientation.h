#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

namespace tess::metadata {

/// The picture as it is meant to be seen, from \a stored pixels and their EXIF Orientation
/// (1..8; any other value means 1, and gives the picture back as it is). Exact: every pixel
/// is moved, none is resampled. A null picture when memory runs out.
QImage uprightPicture(const QImage& stored, int orientation);

/// The size of the upright picture: width and height swapped for orientations 5 to 8.
QSize uprightSize(QSize stored, int orientation);

/// Where the pixel \a p of a stored picture of size \a stored shows in the upright picture.
QPoint uprightPoint(QPoint p, QSize stored, int orientation);

/// Where the pixel \a p of the upright picture lies in the stored picture of size \a stored.
QPoint storedPoint(QPoint p, QSize stored, int orientation);

} // namespace tess::metadata
