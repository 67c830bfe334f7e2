#pragma once

#include <QDialog>

class QPushButton;

namespace tess::platform {

/// A fixed-size modal dialog laid out in pixels of a 120 dpi screen and scaled to the
/// screen it opens on, in Tahoma (DejaVu Sans where Tahoma is missing), centred on the
/// screen each time it is shown. Each showing starts in FormActivate, so the dialog shows
/// the model's current state however it was left last time.
class FixedDialog : public QDialog
{
    Q_OBJECT
public:
    /// \a width and \a height are the client size at 120 dpi.
    FixedDialog(const QString& caption, int width, int height, QWidget* parent = nullptr);

    /// Reloads the controls from the model; runs whenever the dialog is shown.
    virtual void FormActivate() = 0;

    /// Screen pixels of \a designPixels at 120 dpi.
    int scaled(int designPixels) const;
    QRect scaled(int x, int y, int w, int h) const;

protected:
    /// Esc presses \a button instead of leaving the way the close box does.
    void setCancelButton(QPushButton* button) { m_cancelButton = button; }
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void centreOnScreen();

    double m_scale = 1.0;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace tess::platform
