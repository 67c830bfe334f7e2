#pragma once

#include "app/attributes/StampAttributes.h"
#include "batch/BatchSettings.h"
#include "platform/Platform.h"

#include <QObject>
#include <QStringList>

namespace tess::batch {

/// The error box of a run whose settings could not be loaded.
inline const QString CouldNotStart = QStringLiteral(
    "The Batch Stamp Process could not be started.  Verify the settings and try again.");
/// The status line of a prepared run.
inline const QString PleaseWait = QStringLiteral("Processing...  Please Wait.");

/// What a run stamps, as the setup dialog hands it over.
struct BatchJob
{
    /// Stamp with a saved profile instead of the current attributes.
    bool useProfile = false;
    QString profilePath;
    /// The main window's settings, read when the run starts if no profile is used.
    StampAttributes currentAttributes;
    /// Full paths, in list order. A destination the run has written is not replaced, so a
    /// file listed twice is stamped once.
    QStringList files;
    /// Ends with a path separator.
    QString destinationFolder;
    bool overwrite = false;
    /// How many photos are stamped at the same time; 0 or less: one per processor core.
    int workers = 0;
    /// Where the result log goes; empty: "batchlog.txt" in the data folder.
    QString logPath;
    /// Keep each photo's own compression outside the stamp where it is not adjusted.
    bool keepOwnCompression = false;
};

/// One batch run: the settings, the stop flag, the progress and the status line of the
/// processing window, and the result log "batchlog.txt" in the data folder.
///
/// The photos are stamped by a pool of worker threads, at most one photo per worker at a
/// time; everything else (the log, the progress, the status, the signals) happens on the
/// calling (GUI) thread, in the order of the file list, as each photo's turn comes and its
/// result is there. While it waits the run processes pending events, so the window
/// repaints and STOP can call stop(): no photo is started after that, the photos already in
/// hand are finished and logged, and none is interrupted. `changed` is emitted after every
/// visible change.
class BatchRun : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Prepared,
        Running,
        Finished
    };

    explicit BatchRun(platform::Platform platform, QObject* parent = nullptr);

    /// The prepared state: progress 0 of twice the number of files, the "Please Wait."
    /// status, STOP shown, OK and the links hidden, no settings.
    void prepare(BatchJob job);

    /// Runs the prepared job to its end (a run that is not prepared does nothing). False when the
    /// settings could not be loaded: no photo was touched, the log holds only the start line, and
    /// the caller shows CouldNotStart and closes the window.
    bool runBatch();

    /// STOP: the run ends after the photos in progress.
    void stop() { m_stopRequested = true; }

    /// Fills the settings from the current attributes or the profile; false when the
    /// profile can't be read.
    bool loadBatchSettings();

    const BatchJob& job() const { return m_job; }
    const BatchSettings& settings() const { return m_settings; }
    State state() const { return m_state; }
    bool stopRequested() const { return m_stopRequested; }
    QString status() const { return m_status; }
    int progress() const { return m_progress; }
    int progressMaximum() const { return m_progressMaximum; }
    int stampedCount() const { return m_stamped; }
    bool stopButtonShown() const { return m_stopShown; }
    bool okButtonShown() const { return !m_stopShown; }
    bool linksShown() const { return m_linksShown; }
    /// The job's log path, or "batchlog.txt" in the data folder.
    QString logPath() const;
    /// The number of photos a run of \a job stamps at the same time.
    static int workerCount(const BatchJob& job);

signals:
    void changed();
    /// The photo at \a index of the file list has been dealt with: emitted in list order,
    /// after its log line.
    void photoFinished(int index, bool saved, const QString& message);

private:
    void advance();
    void setStatus(const QString& status);
    void showOk();

    platform::Platform m_platform;
    BatchJob m_job;
    BatchSettings m_settings;
    State m_state = State::Prepared;
    bool m_stopRequested = false;
    QString m_status = PleaseWait;
    int m_progress = 0;
    int m_progressMaximum = 0;
    int m_stamped = 0;
    bool m_stopShown = true;
    bool m_linksShown = false;
};

} // namespace tess::batch
