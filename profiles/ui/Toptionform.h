#pragma once

#include "app/workspace/Workspace.h"
#include "platform/qt/FixedDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTreeWidget;

namespace tess::profiles::ui {

class ClampingSpinBox;

/// The Options dialog: date formats, keep flags, JPEG quality and the lossless save, border
/// width and the proportional font size. It loads its controls from the workspace's attributes
/// every time it is shown and writes them back only on OK.
class Toptionform : public platform::FixedDialog
{
    Q_OBJECT
public:
    explicit Toptionform(Workspace& workspace, QWidget* parent = nullptr);
    ~Toptionform() override;

    /// The main window's side before showing: "&Use Current" works only while the stamped
    /// photo holds a picture.
    void prepareToShow();

    // --- Handlers -------------------------------------------------------------------------
    /// Loads every control from the attributes and shows page 0.
    void FormActivate() override;
    /// Shows the page of the selected tree node.
    void TreeView1Change();
    /// Any of the four format lists changed: refreshes the four previews.
    void cbDateChange();
    void TrackBar2Change(int position);
    void btnQualityDefaultClick();
    void btnBorderDefaultClick();
    void btnUseCurrentClick();
    void btnOKClick();
    void btnCancelClick();

    // --- Controls, for the tests ------------------------------------------------------------
    QTreeWidget* treeView() const { return m_treeView1; }
    /// The index of the page shown.
    int shownPage() const;
    /// Format list and preview box \a i (0..3: EXIF Date Time, Original, Created, Other).
    QComboBox* dateList(int i) const { return m_cbDate[i]; }
    QLineEdit* datePreview(int i) const { return m_preview[i]; }
    /// Keep check box \a i (0..3), in the order of the keep flag characters.
    QCheckBox* keepBox(int i) const { return m_keep[i]; }
    QSlider* qualityTrackBar() const { return m_trackBar2; }
    QLineEdit* qualityNumber() const { return m_qualityNumber; }
    ClampingSpinBox* borderBox() const { return m_seBorder; }
    QCheckBox* proportionalBox() const { return m_cbProportional; }
    ClampingSpinBox* photoHeightBox() const { return m_seHeight; }
    QPushButton* qualityDefaultButton() const { return m_btnQualityDefault; }
    QCheckBox* keepOwnCompressionBox() const { return m_cbKeepOwnCompression; }
    QPushButton* borderDefaultButton() const { return m_btnBorderDefault; }
    QPushButton* useCurrentButton() const { return m_btnUseCurrent; }
    QPushButton* okButton() const { return m_btnOK; }
    QPushButton* cancelButton() const { return m_btnCancel; }

private:
    QWidget* buildDatePage();
    QWidget* buildGeneralPage();
    QWidget* buildPhotosPage();
    QWidget* buildTextPage();
    QWidget* newPage(const QString& heading);
    QPushButton* newButton(QWidget* parent, const QString& text, const QString& name);

    Workspace& m_ws;

    QTreeWidget* m_treeView1 = nullptr;
    QStackedWidget* m_pages = nullptr;
    QComboBox* m_cbDate[4] = {};
    QLineEdit* m_preview[4] = {};
    QCheckBox* m_keep[4] = {};
    QSlider* m_trackBar2 = nullptr;
    QLineEdit* m_qualityNumber = nullptr;
    QPushButton* m_btnQualityDefault = nullptr;
    QCheckBox* m_cbKeepOwnCompression = nullptr;
    ClampingSpinBox* m_seBorder = nullptr;
    QPushButton* m_btnBorderDefault = nullptr;
    QCheckBox* m_cbProportional = nullptr;
    ClampingSpinBox* m_seHeight = nullptr;
    QPushButton* m_btnUseCurrent = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace tess::profiles::ui
