#include "view/PreviewViewModel.h"

namespace tess::view {

QSize bestFitSize(QSize photo, QSize view)
{
    if (photo.isEmpty() || view.isEmpty())
        return QSize(0, 0);
    const double a = double(photo.width()) / photo.height();
    const int cw = view.width();
    const int ch = view.height();
    int w = 0;
    int h = 0;
    if (photo.width() > photo.height()) {
        w = cw;
        h = int(cw / a);
        if (h > ch) {
            h = ch;
            w = int(ch * a);
        }
    } else {
        h = ch;
        w = int(ch * a);
        if (w > cw) {
            w = cw;
            h = int(cw / a);
        }
    }
    return QSize(w, h);
}

void PreviewViewModel::setViewSize(QSize view)
{
    m_view = view;
}

void PreviewViewModel::setPhotoSize(QSize photo)
{
    if (photo.isEmpty())
        photo = QSize(0, 0);
    if (photo == m_photo)
        return;
    m_photo = photo;
    // Limits of another photo's size would let this one be dragged out of the view.
    computePanLimits();
}

void PreviewViewModel::formCreate()
{
    m_position = QPoint(0, 0);
    computePanLimits();
}

void PreviewViewModel::formActivate()
{
    m_mode = Mode::ActualSize;
    computePanLimits();
}

void PreviewViewModel::formResize(QSize view)
{
    m_view = view;
    m_position = QPoint(0, 0);
    computePanLimits();
}

void PreviewViewModel::bestFit()
{
    m_position = QPoint(0, 0);
    m_mode = Mode::BestFit;
}

void PreviewViewModel::actualSize()
{
    m_position = QPoint(0, 0);
    m_mode = Mode::ActualSize;
    computePanLimits();
}

bool PreviewViewModel::mouseMove(QPoint point, bool leftButtonHeld)
{
    // In Best Fit the image fills the view and stays where it is.
    if (!leftButtonHeld || m_mode != Mode::ActualSize)
        return false;
    const QPoint before = m_position;
    const int newLeft = m_position.x() + point.x() - m_dragStart.x();
    const int newTop = m_position.y() + point.y() - m_dragStart.y();
    if (newLeft < 0 && newLeft > m_panLimitX)
        m_position.setX(newLeft);
    if (newTop < 0 && newTop > m_panLimitY)
        m_position.setY(newTop);
    return m_position != before;
}

QRect PreviewViewModel::imageRect() const
{
    if (m_mode == Mode::BestFit)
        return QRect(QPoint(0, 0), m_view);
    return QRect(m_position, m_photo);
}

QRect PreviewViewModel::photoRect() const
{
    if (m_mode == Mode::BestFit)
        return QRect(QPoint(0, 0), bestFitSize(m_photo, m_view));
    return QRect(QPoint(0, 0), m_photo);
}

void PreviewViewModel::computePanLimits()
{
    const QSize image = imageRect().size();
    m_panLimitX = m_view.width() - image.width();
    m_panLimitY = m_view.height() - image.height();
}

} // namespace tess::view
