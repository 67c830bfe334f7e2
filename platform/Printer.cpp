#include "platform/Printer.h"

#include <QPainter>

namespace tess::platform {

void drawPage(QPainter& painter, const PageImage& page, const QRect& target)
{
    const QRect frame = page.picture.boundingRect();
    if (frame.isEmpty() || target.isEmpty())
        return;
    // A picture replays itself scaled from its own resolution to the device's; the frame
    // is to fill the target whatever the device's resolution.
    double sx = 1.0;
    double sy = 1.0;
    if (const QPaintDevice* device = painter.device()) {
        if (device->logicalDpiX() > 0 && device->logicalDpiY() > 0) {
            sx = double(page.picture.logicalDpiX()) / device->logicalDpiX();
            sy = double(page.picture.logicalDpiY()) / device->logicalDpiY();
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    const double scaleX = double(target.width()) / frame.width();
    const double scaleY = double(target.height()) / frame.height();
    painter.save();
    painter.scale(sx * scaleX, sy * scaleY);
    painter.translate(-frame.left() / sx, -frame.top() / sy);
    painter.drawPicture(0, 0, page.picture);
    painter.restore();
    if (!page.photo.isNull() && !page.photoRect.isEmpty()) {
        // The photo goes to the device whole; the device scales it at its own resolution.
        const QRectF rect(
            QPointF(page.photoRect.x() - frame.left(), page.photoRect.y() - frame.top()),
            QSizeF(page.photoRect.size()));
        painter.drawImage(QRectF(rect.x() * scaleX, rect.y() * scaleY, rect.width() * scaleX,
                                 rect.height() * scaleY),
                          page.photo);
    }
    painter.restore();
}

} // namespace tess::platform
