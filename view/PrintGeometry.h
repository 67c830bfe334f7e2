#pragma once

#include "platform/Printer.h"

#include <QImage>
#include <QLocale>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace tess::view {

// The print page's arithmetic. The page and everything on it is measured in screen pixels
// (normally 96 per inch), not in printer pixels; \c screenDpi is the screen's resolution.

/// Landscape for a photo wider than it is high, portrait otherwise (square included).
platform::PageOrientation printOrientation(QSize photo);

/// The sheet's size in screen pixels: the physical page over the printer's resolution,
/// rounded. Without a printer, a letter sheet (3060 x 3960 printer pixels at 360 per inch).
QSize paperSizeFromPrinter(const std::optional<platform::PrinterMetrics>& printer, QSize screenDpi);

/// The printer's non-printable borders in screen pixels (integer division); all 0
/// without a printer.
QMargins printMargins(const std::optional<platform::PrinterMetrics>& printer, QSize screenDpi);

/// Stretch to Fit: the size of the whole photo scaled into \a box with its proportions
/// kept, enlarged as well as reduced. Empty when the photo or the box is empty.
QSize stretchSize(QSize photo, QSize box);

/// Crop to Fit: the largest centred part of the photo with the proportions of \a box, as
/// x, y, width and height in photo pixels with y counted from the photo's bottom row.
QRect cropSource(QSize photo, QSize box);
/// A rectangle with y counted from the bottom row of a picture \a height rows high, as
/// the same rectangle with rows from the top, kept inside the picture.
QRect rowsFromTop(const QRect& fromBottom, QSize picture);

/// The top-left corner that centres \a target on the whole \a paper, halves to even.
QPoint pageOrigin(QSize paper, QSize target);

/// Where the page image (the whole sheet) goes when printed, in printer pixels from the
/// printable area's top-left corner: over the whole physical sheet, so that the photo
/// lands where the preview shows it.
QRect printTarget(const platform::PrinterMetrics& printer);

/// The status line: "Printer Setup: 600.0 dpi, 8.5 x 11.0 - Mode: Shrink to Fit".
QString printStatusLine(const std::optional<platform::PrinterMetrics>& printer, bool cropToFit,
                        const QLocale& locale);

/// One print page as laid out for the current photo, printer and mode.
struct PrintLayout
{
    QSize paper;
    QMargins margins;
    /// The sheet inside the margins.
    QSize box;
    /// The photo's size on the page; empty when there is nothing to draw.
    QSize target;
    /// The part of the photo that is scaled to \c target, rows from the top.
    QRect source;
    /// Where \c target is drawn on the sheet.
    QPoint origin;
    /// A black-and-white printer: the photo is printed grey.
    bool grey = false;
    bool operator==(const PrintLayout&) const = default;
};

/// Lays out the page of a \a photo on \a printer (asked in the orientation it already has).
PrintLayout printLayout(QSize photo, const std::optional<platform::PrinterMetrics>& printer,
                        bool cropToFit, QSize screenDpi);

/// The photo as printed: the layout's source part of \a photo at its own size, grey on a
/// black-and-white printer. Null when there is nothing to draw.
QImage printPhoto(const QImage& photo, const PrintLayout& layout);

/// \a photo scaled to \a size with area averaging: the copy the page preview shows.
QImage reducedPhoto(const QImage& photo, QSize size);

/// The photo as the page preview shows it: printPhoto() reduced to the target size.
QImage printBitmap(const QImage& photo, const PrintLayout& layout);

} // namespace tess::view
