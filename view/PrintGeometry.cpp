#include "view/PrintGeometry.h"

#include "adjust/PixelEffects.h"

#include <cmath>

namespace tess::view {

namespace {

// Conversions to whole pixels round halves to the even neighbour.
int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

platform::PrinterMetrics fallbackLetter()
{
    platform::PrinterMetrics m;
    m.physicalWidth = 3060;
    m.physicalHeight = 3960;
    m.printableWidth = 3060;
    m.printableHeight = 3960;
    m.dpiX = 360;
    m.dpiY = 360;
    return m;
}

bool sane(const platform::PrinterMetrics& m)
{
    return m.dpiX > 0 && m.dpiY > 0 && m.physicalWidth > 0 && m.physicalHeight > 0;
}

QString oneDecimal(double v, const QLocale& locale)
{
    return locale.toString(v, 'f', 1);
}

} // namespace

platform::PageOrientation printOrientation(QSize photo)
{
    return photo.width() > photo.height() ? platform::PageOrientation::Landscape
                                          : platform::PageOrientation::Portrait;
}

QSize paperSizeFromPrinter(const std::optional<platform::PrinterMetrics>& printer, QSize screenDpi)
{
    const platform::PrinterMetrics m = printer && sane(*printer) ? *printer : fallbackLetter();
    return QSize(roundHalfEven(double(m.physicalWidth) / m.dpiX * screenDpi.width()),
                 roundHalfEven(double(m.physicalHeight) / m.dpiY * screenDpi.height()));
}

QMargins printMargins(const std::optional<platform::PrinterMetrics>& printer, QSize screenDpi)
{
    if (!printer || !sane(*printer))
        return QMargins();
    const platform::PrinterMetrics& m = *printer;
    const qint64 sx = screenDpi.width();
    const qint64 sy = screenDpi.height();
    const auto left = int(qint64(m.physicalOffsetX) * sx / m.dpiX);
    const auto right =
        int(qint64(m.physicalWidth - m.physicalOffsetX - m.printableWidth) * sx / m.dpiX);
    const auto top = int(qint64(m.physicalOffsetY) * sy / m.dpiY);
    const auto bottom =
        int(qint64(m.physicalHeight - m.physicalOffsetY - m.printableHeight) * sy / m.dpiY);
    return QMargins(left, top, right, bottom);
}

QSize stretchSize(QSize photo, QSize box)
{
    const int W = photo.width();
    const int H = photo.height();
    const int bw = box.width();
    const int bh = box.height();
    if (W <= 0 || H <= 0 || bw <= 0 || bh <= 0)
        return QSize();
    int w = 0;
    int h = 0;
    if (W > H) {
        w = bw;
        h = roundHalfEven(H * (double(bw) / W));
        if (h > bh) {
            w = roundHalfEven(double(w) * bh / h);
            h = bh;
        }
    } else {
        h = bh;
        w = roundHalfEven(W * (double(bh) / H));
        if (w > bw) {
            h = roundHalfEven(double(h) * bw / w);
            w = bw;
        }
    }
    // A very thin photo keeps at least one pixel across.
    return QSize(qMax(1, w), qMax(1, h));
}

QRect cropSource(QSize photo, QSize box)
{
    const double W = photo.width();
    const double H = photo.height();
    const double bw = box.width();
    const double bh = box.height();
    if (W <= 0 || H <= 0 || bw <= 0 || bh <= 0)
        return QRect();
    if (W > H) {
        const double c = (W - H * bw / bh) / 2;
        if (c > 0)
            return QRect(roundHalfEven(c), 0, int(W) - roundHalfEven(2 * c), int(H));
        return QRect(0, roundHalfEven((H - W * bh / bw) / 2), int(W), roundHalfEven(W * bh / bw));
    }
    const double c = (H - W * bh / bw) / 2;
    if (c > 0)
        return QRect(0, roundHalfEven(c), int(W), int(H) - roundHalfEven(2 * c));
    return QRect(roundHalfEven((W - H * bw / bh) / 2), 0, roundHalfEven(H * bw / bh), int(H));
}

QRect rowsFromTop(const QRect& fromBottom, QSize picture)
{
    const QRect flipped(fromBottom.x(), picture.height() - fromBottom.y() - fromBottom.height(),
                        fromBottom.width(), fromBottom.height());
    return flipped.intersected(QRect(QPoint(0, 0), picture));
}

QPoint pageOrigin(QSize paper, QSize target)
{
    return QPoint(roundHalfEven((paper.width() - target.width()) / 2.0),
                  roundHalfEven((paper.height() - target.height()) / 2.0));
}

QRect printTarget(const platform::PrinterMetrics& printer)
{
    return QRect(-printer.physicalOffsetX, -printer.physicalOffsetY, printer.physicalWidth,
                 printer.physicalHeight);
}

QString printStatusLine(const std::optional<platform::PrinterMetrics>& printer, bool cropToFit,
                        const QLocale& locale)
{
    const QString mode =
        cropToFit ? QStringLiteral("Mode: Crop to Fit") : QStringLiteral("Mode: Shrink to Fit");
    if (!printer || !sane(*printer))
        return QStringLiteral("Printer Setup: no printer - ") + mode;
    // "0.0": one decimal place, no thousands separator.
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    const platform::PrinterMetrics& m = *printer;
    return QStringLiteral("Printer Setup: ") + oneDecimal(m.dpiX, plain) +
           QStringLiteral(" dpi, ") + oneDecimal(double(m.physicalWidth) / m.dpiX, plain) +
           QStringLiteral(" x ") + oneDecimal(double(m.physicalHeight) / m.dpiY, plain) +
           QStringLiteral(" - ") + mode;
}

PrintLayout printLayout(QSize photo, const std::optional<platform::PrinterMetrics>& printer,
                        bool cropToFit, QSize screenDpi)
{
    PrintLayout layout;
    layout.paper = paperSizeFromPrinter(printer, screenDpi);
    layout.margins = printMargins(printer, screenDpi);
    layout.grey = printer && printer->numColors == 2;
    layout.box = QSize(layout.paper.width() - layout.margins.left() - layout.margins.right(),
                       layout.paper.height() - layout.margins.top() - layout.margins.bottom());
    if (cropToFit) {
        layout.source = rowsFromTop(cropSource(photo, layout.box), photo);
        if (!layout.source.isEmpty())
            layout.target = layout.box;
    } else {
        layout.target = stretchSize(photo, layout.box);
        if (!layout.target.isEmpty())
            layout.source = QRect(QPoint(0, 0), photo);
    }
    if (layout.target.isEmpty()) {
        layout.target = QSize();
        layout.source = QRect();
    }
    layout.origin = pageOrigin(layout.paper, layout.target);
    return layout;
}

QImage printPhoto(const QImage& photo, const PrintLayout& layout)
{
    if (photo.isNull() || layout.target.isEmpty() || layout.source.isEmpty())
        return QImage();
    if (layout.source == photo.rect() && !layout.grey)
        return photo;
    QImage part = photo.copy(layout.source).convertToFormat(QImage::Format_BGR888);
    if (layout.grey)
        adjust::applyGreyscale(part);
    return part;
}

QImage reducedPhoto(const QImage& photo, QSize size)
{
    if (photo.isNull() || photo.size() == size)
        return photo;
    return photo.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage printBitmap(const QImage& photo, const PrintLayout& layout)
{
    return reducedPhoto(printPhoto(photo, layout), layout.target);
}

} // namespace tess::view
