#pragma once

#include "app/attributes/StampAttributes.h"

#include <QImage>

namespace tess::adjust {

// Pixel operations on 24-bit blue-green-red bitmaps (QImage::Format_BGR888), rows from
// the top. The in-place operations convert other formats to Format_BGR888 first, except
// flipPhoto, which swaps whole rows of any format. Large bitmaps are worked on by several
// threads; every call has finished with the bitmap when it returns.

quint8 clampToByte(int v);
void applyGreyscale(QImage& bitmap);
void applySepia(QImage& bitmap, quint8 level);
void applyFlaxen(QImage& bitmap);
void applyNegative(QImage& bitmap);
void brighten(QImage& bitmap, int n);
void darken(QImage& bitmap, int n);
/// The pipeline hands it Format_BGR888; any other format is converted first, since its
/// bytes per pixel would not fit a 24-bit rule.
void adjustContrast(QImage& bitmap, int n);
void mirrorPhoto(QImage& bitmap);
void flipPhoto(QImage& bitmap);

/// A new Format_BGR888 bitmap: effect, then brightness, then contrast.
QImage applyPhotoAdjustments(const QImage& base, PhotoEffect effect, quint8 sepiaLevel,
                             int brightness, int contrast);
/// The same for a base that is not needed afterwards: a Format_BGR888 picture that holds its
/// pixels alone is adjusted in place, without a second full-size picture.
QImage applyPhotoAdjustments(QImage&& base, PhotoEffect effect, quint8 sepiaLevel, int brightness,
                             int contrast);
/// The same, written over the pixels of \a reuse (an earlier result) when it is a
/// Format_BGR888 picture of the base's size that nothing else holds, instead of into a newly
/// allocated picture.
QImage applyPhotoAdjustments(const QImage& base, PhotoEffect effect, quint8 sepiaLevel,
                             int brightness, int contrast, QImage&& reuse);

/// True when \a attributes change the photo's pixels beyond the stamp: an effect, or a
/// brightness or contrast other than 255.
bool adjustsPhoto(const StampAttributes& attributes);

/// Applies keep flags 1 and 3 when a photo is opened: a "0" resets the effect to none (the
/// sepia level stays) or brightness and contrast to 255; any other character, or a missing
/// one, keeps them. Returns true when flag 1 reset the effect, also if it was none already,
/// so that the caller marks None in its Effects menu.
bool resetAdjustmentsOnOpen(StampAttributes& attributes);

/// \a picture scaled to exactly \a size for display, smoothly. A picture many times larger
/// is first sampled down to four times the size, which keeps the result smooth while a
/// 24-megapixel photo costs a millisecond instead of a tenth of a second.
QImage scaledForDisplay(const QImage& picture, QSize size);

} // namespace tess::adjust
