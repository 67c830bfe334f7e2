#include "app/ui/PhotoPane.h"

#include "adjust/PixelEffects.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace tess::ui {

PhotoPane::PhotoPane(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PhotoPane::setPicture(const QImage& picture)
{
    m_picture = picture;
    if (picture.isNull() || width() <= 0 || height() <= 0) {
        m_scaled = QPixmap();
    } else {
        const QSize fit = picture.size().scaled(size(), Qt::KeepAspectRatio);
        m_scaled =
            QPixmap::fromImage(adjust::scaledForDisplay(picture, fit.expandedTo(QSize(1, 1))));
    }
    update();
}

void PhotoPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setPicture(m_picture);
}

void PhotoPane::paintEvent(QPaintEvent*)
{
    if (m_scaled.isNull())
        return;
    QPainter painter(this);
    const QPoint origin((width() - m_scaled.width()) / 2, (height() - m_scaled.height()) / 2);
    painter.drawPixmap(origin, m_scaled);
}

void DropGroupBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void DropGroupBox::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    handleDrop(event->mimeData());
}

void DropGroupBox::handleDrop(const QMimeData* data)
{
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (onDrop && !paths.isEmpty())
        onDrop(paths);
}

} // namespace tess::ui
