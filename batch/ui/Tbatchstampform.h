#pragma once

#include "app/workspace/Workspace.h"
#include "platform/qt/FixedDialog.h"

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace tess::batch::ui {

class Tbatchprocess;

/// "Batch Stamp": where the stamp settings come from, which photos to stamp, where the
/// stamped copies go and whether existing ones may be replaced. OK checks that nothing is
/// missing and runs the Batch Stamp Processing window; afterwards, and on Cancel, the
/// dialog empties itself and closes. Closing it with the close box keeps what it holds.
class Tbatchstampform : public platform::FixedDialog
{
    Q_OBJECT
public:
    explicit Tbatchstampform(Workspace& workspace, QWidget* parent = nullptr);
    ~Tbatchstampform() override;

    /// How the processing window is shown; modally by default. Tests play the run instead.
    void setProcessRunner(std::function<void(Tbatchprocess&)> runner)
    {
        m_runProcess = std::move(runner);
    }

    // --- Handlers -------------------------------------------------------------------------
    /// Nothing to load: the dialog keeps its own state between openings.
    void FormActivate() override {}
    /// "C&urrent Attributes".
    void RadioButton1Click();
    /// "&Saved Attributes Profile:".
    void RadioButton2Click();
    /// The profile's "...".
    void SpeedButton1Click();
    /// "&Add Files".
    void Button1Click();
    /// "&Remove File(s)": every selected item.
    void Button2Click();
    /// "Clear &List".
    void Button3Click();
    /// Files dropped onto the list: those that pass the JPEG rule are added.
    void ListBox1DropFiles(const QStringList& paths);
    /// An item was clicked: its path becomes the list's tool tip.
    void ListBox1Click();
    /// The destination's "...".
    void SpeedButton2Click();
    /// "&OK".
    void Button4Click();
    /// "&Cancel".
    void Button5Click();

    // --- Controls, for the tests ------------------------------------------------------------
    QRadioButton* currentAttributesButton() const { return m_radioButton1; }
    QRadioButton* savedProfileButton() const { return m_radioButton2; }
    QLineEdit* profileBox() const { return m_edit1; }
    QToolButton* profileBrowseButton() const { return m_speedButton1; }
    QListWidget* fileList() const { return m_listBox1; }
    QLabel* fileCount() const { return m_label1; }
    QLineEdit* destinationBox() const { return m_edit2; }
    QToolButton* destinationBrowseButton() const { return m_speedButton2; }
    QCheckBox* overwriteBox() const { return m_checkBox1; }
    QPushButton* okButton() const { return m_button4; }
    QPushButton* cancelButton() const { return m_button5; }
    Tbatchprocess& processWindow() const { return *m_process; }
    /// The list's paths, in order.
    QStringList files() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* newButton(QWidget* parent, const QString& text, const QString& name, int x, int y);
    void addFiles(const QStringList& paths);
    void listChanged();
    void enableProfileBox(bool enabled);
    void clearDialog();

    Workspace& m_ws;
    std::unique_ptr<Tbatchprocess> m_process;
    std::function<void(Tbatchprocess&)> m_runProcess;

    QRadioButton* m_radioButton1 = nullptr;
    QRadioButton* m_radioButton2 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QToolButton* m_speedButton1 = nullptr;
    QListWidget* m_listBox1 = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_button1 = nullptr;
    QPushButton* m_button2 = nullptr;
    QPushButton* m_button3 = nullptr;
    QLineEdit* m_edit2 = nullptr;
    QToolButton* m_speedButton2 = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QPushButton* m_button4 = nullptr;
    QPushButton* m_button5 = nullptr;
};

} // namespace tess::batch::ui
