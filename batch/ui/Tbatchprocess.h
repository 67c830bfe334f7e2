#pragma once

#include "batch/BatchRun.h"
#include "platform/qt/FixedDialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tess::batch::ui {

/// "Batch Stamp Processing": runs one batch as soon as it is shown, with a status line, a
/// progress bar, STOP (OK once the run has ended) and, at the end, links to the result log
/// and the destination folder. A thin view over BatchRun.
class Tbatchprocess : public platform::FixedDialog
{
    Q_OBJECT
public:
    explicit Tbatchprocess(platform::Platform platform, QWidget* parent = nullptr);
    ~Tbatchprocess() override;

    /// The setup dialog's preparation: progress 0 of twice the files, STOP shown, OK and
    /// the links hidden, the "Please Wait." status, no settings.
    void prepare(BatchJob job);

    // --- Handlers -------------------------------------------------------------------------
    /// The window was shown: the run starts once the window has painted.
    void FormActivate() override;
    /// The run; a failed start shows its error box and closes the window.
    void runBatch();
    /// STOP.
    void Button1Click();
    /// OK.
    void Button2Click();
    /// "View Result Log".
    void Label2Click();
    /// "Open Destination Folder".
    void Label3Click();
    /// Esc and the close box: while the run goes on they stop it after the photo in
    /// progress, and the window stays until the run has ended.
    void reject() override;

    // --- Controls, for the tests ------------------------------------------------------------
    const BatchRun& run() const { return m_run; }
    BatchRun& run() { return m_run; }
    QLabel* statusLine() const { return m_status; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* stopButton() const { return m_btnStop; }
    QPushButton* okButton() const { return m_btnOK; }
    QLabel* logLink() const { return m_logLink; }
    QLabel* folderLink() const { return m_folderLink; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* newLink(const QString& text, const QString& name, int x, int width);
    void showRun();

    platform::Platform m_platform;
    BatchRun m_run;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_btnStop = nullptr;
    QPushButton* m_btnOK = nullptr;
    QLabel* m_logLink = nullptr;
    QLabel* m_folderLink = nullptr;
};

} // namespace tess::batch::ui
