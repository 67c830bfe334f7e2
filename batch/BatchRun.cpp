#include "batch/BatchRun.h"

#include "batch/BatchLog.h"
#include "batch/BatchPhoto.h"

#include <QCoreApplication>
#include <limits>

namespace tess::batch {

namespace {

/// Lets the window repaint and STOP be pressed.
void pumpEvents()
{
    QCoreApplication::processEvents();
}

} // namespace

BatchRun::BatchRun(platform::Platform platform, QObject* parent)
    : QObject(parent), m_platform(platform)
{}

QString BatchRun::logPath() const
{
    return m_platform.folders->dataFolder() + BatchLogName;
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

    const BatchPhotoContext context{
        m_settings, m_job.destinationFolder, m_job.overwrite, *m_platform.clock,
        log,        m_job.keepOwnCompression};
    const qsizetype count = m_job.files.size();
    for (qsizetype k = 0; k < count; ++k) {
        advance();
        setStatus(
            QStringLiteral("Processing %1 of %2 photos.  Please wait...").arg(k + 1).arg(count));
        if (stampBatchPhoto(m_job.files.at(k), context))
            ++m_stamped;
        pumpEvents();
        if (m_stopRequested) {
            log.append(messages::Stopped);
            showOk();
            break;
        }
        advance();
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
