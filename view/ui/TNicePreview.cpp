#include "view/ui/TNicePreview.h"

#include "view/PrintGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

namespace tess::view::ui {

namespace {

constexpr int ShadowWidth = 4;

} // namespace

TNicePreview::TNicePreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NicePreview1"));
    setFocusPolicy(Qt::ClickFocus);
    // The whole client area comes from the back buffer: no background erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    layOut();
}

TNicePreview::~TNicePreview() = default;

void TNicePreview::SetPaperSizeFromPrinter(platform::Printer* printer, QSize screenDpi)
{
    const std::optional<platform::PrinterMetrics> metrics =
        printer ? printer->metrics() : std::nullopt;
    const QSize paper = paperSizeFromPrinter(metrics, screenDpi);
    PaperWidth = paper.width();
    PaperHeight = paper.height();
    layOut();
}

void TNicePreview::Clear()
{
    m_pagePainter.reset();
    m_pages.clear();
    SelectedPage = -1;
    layOut();
}

QPainter* TNicePreview::NewPage()
{
    m_pagePainter.reset();
    m_pages.push_back(std::make_unique<Page>());
    m_pagePainter = std::make_unique<QPainter>(&m_pages.back()->image.picture);
    layOut();
    return m_pagePainter.get();
}

void TNicePreview::EndPage(const QImage& photo, const QRect& photoRect)
{
    if (!m_pagePainter)
        return;
    m_pagePainter->end();
    m_pagePainter.reset();
    Page& page = *m_pages.back();
    // The frame of a page image is the whole sheet, whatever was drawn on it.
    page.image.picture.setBoundingRect(QRect(0, 0, PaperWidth, PaperHeight));
    if (!photo.isNull() && !photoRect.isEmpty()) {
        page.image.photo = photo;
        page.image.photoRect = photoRect;
        page.shownPhoto = reducedPhoto(photo, photoRect.size());
    }
    redraw();
}

platform::PageImage TNicePreview::shownPage(int index) const
{
    const Page& page = *m_pages.at(index);
    return platform::PageImage{page.image.picture, page.shownPhoto, page.image.photoRect};
}

void TNicePreview::ZoomToWholePage()
{
    layOut();
}

platform::PrintResult TNicePreview::PrintPage(int index, platform::Printer& printer)
{
    if (index < 0 || index >= pageCount())
        return {false, QStringLiteral("There is no page to print.")};
    const std::optional<platform::PrinterMetrics> metrics = printer.metrics();
    const QRect target = metrics ? printTarget(*metrics) : QRect();
    return printer.printPage(Title + QStringLiteral(" - Page ") + QString::number(index + 1),
                             page(index), target);
}

void TNicePreview::layOut()
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_layout =
        wholePageLayout(size(), QSize(extent, extent), QSize(PaperWidth, PaperHeight), pageCount());
    Zoom = m_layout.zoom;
    redraw();
    emit OnChange();
}

void TNicePreview::redraw()
{
    m_bufferStale = true;
    update();
}

void TNicePreview::renderBuffer()
{
    const qreal ratio = devicePixelRatioF();
    m_buffer = QPixmap(size() * ratio);
    m_buffer.setDevicePixelRatio(ratio);
    QPainter p(&m_buffer);
    p.fillRect(rect(), palette().color(QPalette::Button));
    for (int i = 0; i < pageCount(); ++i) {
        const QRect sheet = m_layout.sheets.at(i);
        if (sheet.isEmpty() || !sheet.intersects(rect()))
            continue;
        p.fillRect(sheet, Qt::white);
        // The shadow along the right edge and along the bottom edge.
        p.fillRect(
            QRect(sheet.x() + sheet.width(), sheet.y() + ShadowWidth, ShadowWidth, sheet.height()),
            Qt::black);
        p.fillRect(QRect(sheet.x() + ShadowWidth, sheet.y() + sheet.height(),
                         sheet.width() - ShadowWidth, ShadowWidth),
                   Qt::black);
        p.save();
        p.setClipRect(sheet);
        platform::drawPage(p, shownPage(i), sheet);
        p.restore();
        p.setPen(i == SelectedPage ? Qt::red : Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(sheet.adjusted(0, 0, -1, -1));
    }
    m_bufferStale = false;
}

void TNicePreview::paintEvent(QPaintEvent*)
{
    if (m_bufferStale || m_buffer.size() != size() * devicePixelRatioF())
        renderBuffer();
    QPainter p(this);
    p.drawPixmap(0, 0, m_buffer);
}

void TNicePreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void TNicePreview::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const int hit = sheetAt(m_layout, event->position().toPoint());
    if (hit >= 0 && hit != SelectedPage) {
        SelectedPage = hit;
        redraw();
        emit OnChange();
    }
}

void TNicePreview::wheelEvent(QWheelEvent* event)
{
    // Whole-page mode has nothing to scroll.
    event->accept();
}

} // namespace tess::view::ui
