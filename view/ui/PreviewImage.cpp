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
    }
    return m_drawable;
}

const QImage& PreviewImage::fitted(QSize size)
{
    // Scaled from the photo itself: converting the whole photo for drawing first would cost a
    // full pass and a second full-size copy for a picture that is shown small.
    const QImage& source = m_form.picture();
    if (m_fitted.size() != size || m_fittedKey != source.cacheKey()) {
        m_fitted = adjust::scaledForDisplay(source, size).convertToFormat(QImage::Format_RGB32);
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
    if (target.size() == m_form.picture().size()) {
        m_fitted = QImage();
        painter.drawImage(target.topLeft(), drawable());
    } else {
        m_drawable = QImage(); // only one of the two is kept
        m_drawableKey = 0;
        painter.drawImage(target.topLeft(), fitted(target.size()));
    }
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
