#pragma once

#include <QImage>
#include <QWidget>

namespace tess::view::ui {

class TPreviewForm;

/// The Full Screen Preview's image control: draws its form's picture into the model's photo
/// rectangle and hands the mouse to the form.
class PreviewImage : public QWidget
{
public:
    PreviewImage(TPreviewForm& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    /// The picture in a format the screen draws without converting it on every paint, and
    /// its Best Fit reduction; both made again only when the picture or the size changes.
    const QImage& drawable();
    const QImage& fitted(QSize size);

    TPreviewForm& m_form;
    qint64 m_drawableKey = 0;
    QImage m_drawable;
    qint64 m_fittedKey = 0;
    QImage m_fitted;
};

} // namespace tess::view::ui
