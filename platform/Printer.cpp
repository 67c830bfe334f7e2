#include "platform/Printer.h"

#include <QPainter>

namespace tess::platform {

void drawPage(QPainter& painter, const QPicture& page, const QRect& target)
{
    const QRect frame = page.boundingRect();
    if (frame.isEmpty() || target.isEmpty())
        return;
    // A picture replays itself scaled from its own resolution to the device's; the frame
    // is to fill the target whatever the device's resolution.
    double sx = 1.0;
    double sy = 1.0;
    if (const QPaintDevice* device = painter.device()) {
        if (device->logicalDpiX() > 0 && device->logicalDpiY() > 0) {
            sx = double(page.logicalDpiX()) / device->logicalDpiX();
            sy = double(page.logicalDpiY()) / device->logicalDpiY();
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    painter.scale(sx * target.width() / frame.width(), sy * target.height() / frame.height());
    painter.translate(-frame.left() / sx, -frame.top() / sy);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

} // namespace tess::platform
