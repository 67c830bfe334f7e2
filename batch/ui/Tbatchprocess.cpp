#include "batch/ui/Tbatchprocess.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace tess::batch::ui {

namespace {

constexpr int ClientWidth = 440;
constexpr int ClientHeight = 150;

const QString LogNotFound = QStringLiteral("Log file not found.");
const QString NoSuchFolder = QStringLiteral("The local folder specified does not exist.");

} // namespace

Tbatchprocess::Tbatchprocess(platform::Platform platform, QWidget* parent)
    : platform::FixedDialog(QStringLiteral("Batch Stamp Processing"), ClientWidth, ClientHeight,
                            parent),
      m_platform(platform), m_run(platform)
{
    setObjectName(QStringLiteral("batchprocess"));

    m_status = new QLabel(PleaseWait, this);
    m_status->setObjectName(QStringLiteral("Label1"));
    m_status->setGeometry(scaled(12, 12, 416, 22));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setGeometry(scaled(12, 40, 416, 22));
    m_progress->setTextVisible(false);

    m_logLink = newLink(QStringLiteral("View Result Log"), QStringLiteral("Label2"), 12, 140);
    m_folderLink =
        newLink(QStringLiteral("Open Destination Folder"), QStringLiteral("Label3"), 160, 180);

    // STOP and OK share one place; one of them is shown at a time.
    const QRect buttonPlace = scaled(344, 110, 84, 28);
    m_btnStop = new QPushButton(QStringLiteral("&STOP"), this);
    m_btnStop->setObjectName(QStringLiteral("Button1"));
    m_btnStop->setGeometry(buttonPlace);
    m_btnOK = new QPushButton(QStringLiteral("&OK"), this);
    m_btnOK->setObjectName(QStringLiteral("Button2"));
    m_btnOK->setGeometry(buttonPlace);

    connect(m_btnStop, &QPushButton::clicked, this, &Tbatchprocess::Button1Click);
    connect(m_btnOK, &QPushButton::clicked, this, &Tbatchprocess::Button2Click);
    connect(&m_run, &BatchRun::changed, this, &Tbatchprocess::showRun);
    showRun();
}

Tbatchprocess::~Tbatchprocess() = default;

QLabel* Tbatchprocess::newLink(const QString& text, const QString& name, int x, int width)
{
    auto* link = new QLabel(text, this);
    link->setObjectName(name);
    link->setGeometry(scaled(x, 76, width, 22));
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    return link;
}

void Tbatchprocess::prepare(BatchJob job)
{
    m_run.prepare(std::move(job));
}

void Tbatchprocess::showRun()
{
    m_status->setText(m_run.status());
    // A maximum of 0 would turn the bar into a busy indicator.
    m_progress->setRange(0, std::max(1, m_run.progressMaximum()));
    m_progress->setValue(m_run.progress());
    m_btnStop->setVisible(m_run.stopButtonShown());
    m_btnOK->setVisible(m_run.okButtonShown());
    m_logLink->setVisible(m_run.linksShown());
    m_folderLink->setVisible(m_run.linksShown());
    (m_run.stopButtonShown() ? m_btnStop : m_btnOK)->setDefault(true);
}

void Tbatchprocess::FormActivate()
{
    // Queued, so the window is on the screen and painted before the first photo.
    QMetaObject::invokeMethod(this, &Tbatchprocess::runBatch, Qt::QueuedConnection);
}

void Tbatchprocess::runBatch()
{
    if (m_run.state() != BatchRun::State::Prepared)
        return;
    if (!m_run.runBatch()) {
        m_platform.prompts->error(CouldNotStart);
        done(QDialog::Rejected);
    }
}

void Tbatchprocess::Button1Click()
{
    m_run.stop();
}

void Tbatchprocess::Button2Click()
{
    done(QDialog::Accepted);
}

void Tbatchprocess::Label2Click()
{
    const QString log = m_run.logPath();
    if (!QFileInfo(log).isFile())
        m_platform.prompts->error(LogNotFound);
    else
        platform::openDocumentOrTell(*m_platform.shell, *m_platform.prompts, log);
}

void Tbatchprocess::Label3Click()
{
    const QString folder = m_run.job().destinationFolder;
    if (folder.isEmpty() || !QDir(folder).exists()) {
        m_platform.prompts->error(NoSuchFolder);
        return;
    }
    m_platform.shell->showFolder(folder);
}

void Tbatchprocess::closeEvent(QCloseEvent* event)
{
    // Closing in the middle of a run would leave it going behind a hidden window: the
    // close box asks for a stop instead, and the window closes once the run has ended.
    if (m_run.state() == BatchRun::State::Running) {
        m_run.stop();
        event->ignore();
        return;
    }
    platform::FixedDialog::closeEvent(event);
}

void Tbatchprocess::reject()
{
    if (m_run.state() == BatchRun::State::Running) {
        m_run.stop();
        return;
    }
    platform::FixedDialog::reject();
}

bool Tbatchprocess::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_logLink) {
            Label2Click();
            return true;
        }
        if (watched == m_folderLink) {
            Label3Click();
            return true;
        }
    }
    return platform::FixedDialog::eventFilter(watched, event);
}

} // namespace tess::batch::ui
