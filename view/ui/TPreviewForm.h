#pragma once

#include "view/PreviewViewModel.h"

#include <QImage>
#include <QWidget>

class QToolBar;
class QToolButton;

namespace tess {
class Workspace;
}

namespace tess::view::ui {

class PreviewImage;

/// "Full Screen Preview": the stamped photo in a window of its own, scaled to fit (Best
/// Fit) or one to one (Actual Size), where a large photo is panned by dragging it. Not
/// modal; it follows every render of the workspace. Created once and hidden when closed.
class TPreviewForm : public QWidget
{
    Q_OBJECT
public:
    explicit TPreviewForm(Workspace& workspace, QWidget* parent = nullptr);
    ~TPreviewForm() override;

    /// Each activation: back to Actual Size at the image's position.
    void FormActivate();
    /// Best Fit.
    void ToolButton2Click();
    /// Actual Size.
    void ToolButton3Click();
    /// Print: the print preview, modal.
    void ToolButton6Click();
    /// Close: hides the window.
    void ToolButton1Click();

    const PreviewViewModel& model() const { return m_model; }
    /// The picture Image1 shows: the workspace's preview copy.
    const QImage& picture() const { return m_picture; }

    QToolBar* ToolBar1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    QToolButton* ToolButton6;
    QToolButton* ToolButton1;
    QWidget* ScrollBox1;
    QWidget* Image1;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PreviewImage;
    void picturesChanged();
    void scrollReset();
    /// Puts Image1 where the model says.
    void placeImage();
    void Image1MouseDown(QMouseEvent* event);
    void Image1MouseMove(QMouseEvent* event);

    Workspace& m_ws;
    PreviewViewModel m_model;
    QImage m_picture;
};

} // namespace tess::view::ui
