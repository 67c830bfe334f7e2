#pragma once

#include "platform/qt/FixedDialog.h"

#include <QImage>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace tess {
class Workspace;
}

namespace tess::adjust::ui {

/// "Brightness and Contrast": sets brightness and contrast (0..510, 255 = unchanged) with a
/// live preview of the adjusted photo. OK writes both values; Cancel sets the workspace's
/// dialogCancelled flag; the close box leaves without writing.
class TForm16 : public platform::FixedDialog
{
    Q_OBJECT
public:
    explicit TForm16(Workspace& workspace, QWidget* parent = nullptr);

    void FormActivate() override;
    /// The change handler of both track bars: labels, then the preview while it is visible.
    void TrackBar2Change();
    void CheckBox1Click();
    /// Reset: both track bars to 255; the workspace is not touched.
    void Button2Click();
    /// OK.
    void Button1Click();
    /// Cancel.
    void Button3Click();
    /// Adjusts the base photo with the track bars' values and shows it scaled into Image1.
    void updateAdjustmentPreview();

    /// The picture Image1 shows: the adjusted photo scaled into the preview area.
    const QImage& previewImage() const { return m_preview; }
    /// How many times the adjustment pipeline has run for the preview.
    int previewRenders() const { return m_previewRenders; }

    QGroupBox* GroupBox1;
    QSlider* TrackBar1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QGroupBox* GroupBox2;
    QSlider* TrackBar2;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QGroupBox* GroupBox3;
    QWidget* ScrollBox1;
    QLabel* Image1;
    QCheckBox* CheckBox1;
    QPushButton* Button2;
    QPushButton* Button1;
    QPushButton* Button3;

private:
    QSlider* addTrackBar(QGroupBox* box, QLabel*& low, QLabel*& high, QLabel*& value);
    /// Moves both track bars with one change notification instead of one per bar.
    void setPositions(int brightness, int contrast);

    Workspace& m_ws;
    QImage m_preview;
    int m_previewRenders = 0;
};

} // namespace tess::adjust::ui
