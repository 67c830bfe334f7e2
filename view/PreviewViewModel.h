#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tess::view {

/// The size the Best Fit view draws a \a photo at in a \a view, from the view's top-left
/// corner: as large as fits with the photo's proportions, enlarged as well as reduced,
/// fractions dropped. Empty for an empty photo.
QSize bestFitSize(QSize photo, QSize view);

/// The Full Screen Preview's image control inside its view, without the widgets: where it
/// is, how large, and how dragging moves it. Sizes are in screen pixels.
class PreviewViewModel
{
public:
    enum class Mode
    {
        /// The image fills the view and draws the photo scaled to fit.
        BestFit,
        /// The image has the photo's size and is drawn one to one at its position.
        ActualSize
    };

    /// The view's client size changed (the window was resized): back to the top-left corner.
    void setViewSize(QSize view);
    /// The photo the image shows changed (a render, an opened or closed photo).
    void setPhotoSize(QSize photo);

    /// The window's creation handler: image at (0, 0), pan limits.
    void formCreate();
    /// Each activation of the window: Actual Size at the image's current position.
    void formActivate();
    /// The window was resized to a view of \a view.
    void formResize(QSize view);
    /// Best Fit: image at (0, 0), filling the view.
    void bestFit();
    /// Actual Size: image at (0, 0), the photo's own size.
    void actualSize();
    /// Opening a photo moves the image to the top-left corner.
    void resetPosition() { m_position = QPoint(0, 0); }

    /// A mouse button went down at \a point, in image coordinates.
    void mouseDown(QPoint point) { m_dragStart = point; }
    /// The mouse moved to \a point, in image coordinates. Pans while the left button is
    /// held, in Actual Size only: an axis moves only while the new position stays strictly
    /// between the pan limit and 0. Returns true when the image moved.
    bool mouseMove(QPoint point, bool leftButtonHeld);

    Mode mode() const { return m_mode; }
    QPoint position() const { return m_position; }
    /// The image control's geometry inside the view.
    QRect imageRect() const;
    /// Where the photo is drawn inside the image control.
    QRect photoRect() const;
    int panLimitX() const { return m_panLimitX; }
    int panLimitY() const { return m_panLimitY; }

private:
    void computePanLimits();

    Mode m_mode = Mode::ActualSize;
    QSize m_view;
    QSize m_photo;
    QPoint m_position;
    QPoint m_dragStart;
    int m_panLimitX = 0;
    int m_panLimitY = 0;
};

} // namespace tess::view
