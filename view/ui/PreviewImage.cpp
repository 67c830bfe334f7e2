#include "view/ui/PreviewImage.h"

#include "adjust/PixelEffects.h"
#include "view/ui/TPreviewForm.h"

#include <QMouseEvent>
#include <QPainter>

namespace tess::view::ui {

PreviewImage::PreviewImage(TPreviewForm& form, QWidget* parent) : QWidget(parent), m_form(form)
{
    setObjectName(QStringLiteral("Image1"));
    setCursor(Qt::SizeAllCursor);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

const QImage& PreviewImage::drawable()
{
    const QImage& picture = m_form.picture();
    if (picture.cacheKey() != m_drawableKey || m_drawable.isNull() != picture.isNull()) {
        m_drawable = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
        m_drawableKey = picture.cacheKey();
        m_fitted = QImage();
    }
    return m_drawable;
}

const QImage& PreviewImage::fitted(QSize size)
{
    const QImage& source = drawable();
    if (m_fitted.size() != size || m_fittedKey != source.cacheKey()) {
        m_fitted = adjust::scaledForDisplay(source, size);
        m_fittedKey = source.cacheKey();
    }
    return m_fitted;
}

void PreviewImage::paintEvent(QPaintEvent* event)
{
    const QRect target = m_form.model().photoRect();
    if (m_form.picture().isNull() || target.isEmpty())
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (target.size() == m_form.picture().size())
        painter.drawImage(target.topLeft(), drawable());
    else
        painter.drawImage(target.topLeft(), fitted(target.size()));
}

void PreviewImage::mousePressEvent(QMouseEvent* event)
{
    m_form.Image1MouseDown(event);
}

void PreviewImage::mouseMoveEvent(QMouseEvent* event)
{
    m_form.Image1MouseMove(event);
}

} // namespace tess::view::ui
