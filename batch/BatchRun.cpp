#include "batch/BatchRun.h"

#include "batch/BatchLog.h"
#include "batch/BatchPhoto.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tess::batch {

namespace {

/// Lets the window repaint and STOP be pressed.
void pumpEvents()
{
    QCoreApplication::processEvents();
}

/// The outcomes of the photos handed to the workers, by index in the file list.
class Outcomes
{
public:
    explicit Outcomes(qsizetype count) : m_outcomes(size_t(count)) {}

    void put(qsizetype index, BatchOutcome outcome)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_outcomes[size_t(index)] = std::move(outcome);
            ++m_finished;
        }
        m_ready.notify_all();
    }

    bool ready(qsizetype index) const
    {
        const std::lock_guard lock(m_mutex);
        return m_outcomes[size_t(index)].has_value();
    }

    /// The outcome at \a index once it is there; nothing when \a patience has run out or
    /// another photo has finished first (its worker is free for the next one).
    std::optional<BatchOutcome> waitFor(qsizetype index, std::chrono::milliseconds patience)
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait_for(lock, patience, [&] {
            return m_outcomes[size_t(index)].has_value() || m_finished != m_seen;
        });
        m_seen = m_finished;
        return m_outcomes[size_t(index)];
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::vector<std::optional<BatchOutcome>> m_outcomes;
    qsizetype m_finished = 0;
    qsizetype m_seen = 0;
};

} // namespace

BatchRun::BatchRun(platform::Platform platform, QObject* parent)
    : QObject(parent), m_platform(platform)
{}

QString BatchRun::logPath() const
{
    if (!m_job.logPath.isEmpty())
        return m_job.logPath;
    return m_platform.folders->dataFolder() + BatchLogName;
}

int BatchRun::workerCount(const BatchJob& job)
{
    if (job.workers > 0)
        return job.workers;
    return std::max(1, QThread::idealThreadCount());
}

void BatchRun::prepare(BatchJob job)
{
    m_job = std::move(job);
    m_settings = BatchSettings();
    m_settings.stampTexts.clear();
    m_state = State::Prepared;
    m_stopRequested = false;
    m_status = PleaseWait;
    m_progress = 0;
    const qsizetype steps = m_job.files.size() * 2;
    m_progressMaximum = int(std::min<qsizetype>(steps, std::numeric_limits<int>::max()));
    m_stamped = 0;
    m_stopShown = true;
    m_linksShown = false;
    emit changed();
}

bool BatchRun::loadBatchSettings()
{
    if (!m_job.useProfile) {
        m_settings = batchSettingsFromAttributes(m_job.currentAttributes);
        return true;
    }
    const std::optional<BatchSettings> read = readBatchProfile(m_job.profilePath);
    if (!read)
        return false;
    m_settings = *read;
    return true;
}

bool BatchRun::runBatch()
{
    if (m_state != State::Prepared)
        return true; // each preparation runs once
    m_state = State::Running;
    m_stopRequested = false;
    platform::ensureDataFolder(*m_platform.folders);
    const BatchLog log(logPath(), *m_platform.clock);
    log.clear();

    // The window shows before work begins.
    m_stamped = 0;
    emit changed();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    log.append(messages::Started);
    if (!loadBatchSettings()) {
        m_state = State::Finished;
        return false;
    }

    WrittenDestinations written;
    const BatchPhotoContext context{
        m_settings, m_job.destinationFolder, m_job.overwrite, *m_platform.clock, log,
        &written,   m_job.keepOwnCompression};
    const qsizetype count = m_job.files.size();
    const int workers = workerCount(m_job);
    QStringList destinations;
    for (const QString& file : m_job.files)
        destinations.append(m_job.destinationFolder + QFileInfo(file).fileName());

    const auto outcomes = std::make_shared<Outcomes>(count);
    QThreadPool pool;
    pool.setMaxThreadCount(workers);
    qsizetype next = 0; // the next photo to hand over
    qsizetype done = 0; // the photos logged
    const auto inHand = [&](const QString& destination, int* busy) {
        bool same = false;
        for (qsizetype i = done; i < next; ++i) {
            if (!outcomes->ready(i)) {
                ++*busy;
                same = same || destinations.at(i) == destination;
            }
        }
        return same;
    };
    const auto handOver = [&] {
        // A photo waits while another one of the same destination is in hand, so that the
        // first in list order is the one that writes it.
        for (int busy = 0; next < count && !inHand(destinations.at(next), &busy) && busy < workers;
             busy = 0) {
            const qsizetype index = next++;
            const QString source = m_job.files.at(index);
            auto clock = std::make_shared<ClockReading>(*m_platform.clock);
            pool.start([context, clock, outcomes, index, source] {
                BatchPhotoContext own{context.settings,  context.destinationFolder,
                                      context.overwrite, *clock,
                                      context.log,       context.written};
                own.keepOwnCompression = context.keepOwnCompression;
                // Every photo gets an outcome, or the run would wait for it forever.
                try {
                    outcomes->put(index, stampBatchPhotoQuietly(source, own));
                } catch (...) {
                    outcomes->put(index,
                                  {false, messages::failed(QFileInfo(source).fileName(),
                                                           QStringLiteral("Unknown error"))});
                }
            });
        }
    };

    bool stopping = false;
    if (count > 0) {
        advance();
        setStatus(QStringLiteral("Processing 1 of %1 photos.  Please wait...").arg(count));
    }
    while (done < count) {
        if (!stopping)
            handOver();
        const std::optional<BatchOutcome> outcome =
            outcomes->waitFor(done, std::chrono::milliseconds(20));
        if (!outcome) {
            pumpEvents();
            stopping = stopping || m_stopRequested;
            continue;
        }
        log.append(outcome->message);
        if (outcome->saved)
            ++m_stamped;
        emit photoFinished(int(done), outcome->saved, outcome->message);
        pumpEvents();
        stopping = stopping || m_stopRequested;
        ++done;
        if (stopping && done == next) {
            log.append(messages::Stopped);
            showOk();
            break;
        }
        advance();
        if (done < count) {
            advance();
            setStatus(QStringLiteral("Processing %1 of %2 photos.  Please wait...")
                          .arg(done + 1)
                          .arg(count));
        }
    }

    m_status = QStringLiteral("%1 of %2 photos have been stamped.").arg(m_stamped).arg(count);
    m_linksShown = true;
    m_stopShown = false;
    m_state = State::Finished;
    emit changed();
    log.append(messages::Completed);
    return true;
}

void BatchRun::advance()
{
    if (m_progress < m_progressMaximum)
        ++m_progress;
    emit changed();
}

void BatchRun::setStatus(const QString& status)
{
    m_status = status;
    emit changed();
}

void BatchRun::showOk()
{
    m_stopShown = false;
    emit changed();
}

} // namespace tess::batch
