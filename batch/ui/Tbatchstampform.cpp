#include "batch/ui/Tbatchstampform.h"

#include "batch/BatchSetup.h"
#include "batch/ui/Tbatchprocess.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>

namespace tess::batch::ui {

namespace {

constexpr int ClientWidth = 470;
constexpr int ClientHeight = 486;
constexpr int ButtonWidth = 104;
constexpr int ButtonHeight = 28;

const QString ProfileDialogTitle = QStringLiteral("Select a Orvane Tessarine Attributes");
const QString FolderBrowserCaption = QStringLiteral("Select a Destination Folder");

/// The local files among dropped data, in their order.
QStringList droppedPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

Tbatchstampform::Tbatchstampform(Workspace& workspace, QWidget* parent)
    : platform::FixedDialog(QStringLiteral("Batch Stamp"), ClientWidth, ClientHeight, parent),
      m_ws(workspace), m_process(std::make_unique<Tbatchprocess>(workspace.platform(), this)),
      m_runProcess([](Tbatchprocess& process) { process.exec(); })
{
    setObjectName(QStringLiteral("batchstampform"));

    auto* attributes = new QGroupBox(QStringLiteral("Stamp Attributes"), this);
    attributes->setGeometry(scaled(8, 8, 454, 88));
    m_radioButton1 = new QRadioButton(QStringLiteral("C&urrent Attributes"), attributes);
    m_radioButton1->setObjectName(QStringLiteral("RadioButton1"));
    m_radioButton1->setGeometry(scaled(14, 22, 300, 24));
    m_radioButton2 = new QRadioButton(QStringLiteral("&Saved Attributes Profile:"), attributes);
    m_radioButton2->setObjectName(QStringLiteral("RadioButton2"));
    m_radioButton2->setGeometry(scaled(14, 52, 190, 24));
    m_edit1 = new QLineEdit(attributes);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setGeometry(scaled(206, 52, 204, 24));
    m_edit1->setReadOnly(true);
    m_speedButton1 = new QToolButton(attributes);
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setText(QStringLiteral("..."));
    m_speedButton1->setGeometry(scaled(414, 52, 28, 24));

    auto* filesGroup = new QGroupBox(QStringLiteral("Files to Process"), this);
    filesGroup->setGeometry(scaled(8, 104, 454, 238));
    m_listBox1 = new QListWidget(filesGroup);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setGeometry(scaled(14, 24, 306, 200));
    m_listBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listBox1->setAcceptDrops(true);
    m_listBox1->viewport()->setAcceptDrops(true);
    m_listBox1->viewport()->installEventFilter(this);
    m_label1 = new QLabel(QStringLiteral("Files: 0"), filesGroup);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(scaled(334, 24, ButtonWidth, 22));
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);
    m_button1 =
        newButton(filesGroup, QStringLiteral("&Add Files"), QStringLiteral("Button1"), 334, 56);
    m_button2 = newButton(filesGroup, QStringLiteral("&Remove File(s)"), QStringLiteral("Button2"),
                          334, 90);
    m_button3 =
        newButton(filesGroup, QStringLiteral("Clear &List"), QStringLiteral("Button3"), 334, 124);

    auto* destination = new QGroupBox(QStringLiteral("Destination Folder"), this);
    destination->setGeometry(scaled(8, 350, 454, 88));
    m_edit2 = new QLineEdit(destination);
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_edit2->setGeometry(scaled(14, 24, 396, 24));
    m_edit2->setReadOnly(true);
    m_speedButton2 = new QToolButton(destination);
    m_speedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    m_speedButton2->setText(QStringLiteral("..."));
    m_speedButton2->setGeometry(scaled(414, 24, 28, 24));
    m_checkBox1 = new QCheckBox(QStringLiteral("O&verwrite Existing Files"), destination);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    m_checkBox1->setGeometry(scaled(14, 56, 300, 24));

    m_button4 = newButton(this, QStringLiteral("&OK"), QStringLiteral("Button4"), 250, 448);
    m_button4->setDefault(true);
    m_button5 = newButton(this, QStringLiteral("&Cancel"), QStringLiteral("Button5"), 358, 448);
    setCancelButton(m_button5);

    connect(m_radioButton1, &QRadioButton::clicked, this, &Tbatchstampform::RadioButton1Click);
    connect(m_radioButton2, &QRadioButton::clicked, this, &Tbatchstampform::RadioButton2Click);
    connect(m_speedButton1, &QToolButton::clicked, this, &Tbatchstampform::SpeedButton1Click);
    connect(m_button1, &QPushButton::clicked, this, &Tbatchstampform::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &Tbatchstampform::Button2Click);
    connect(m_button3, &QPushButton::clicked, this, &Tbatchstampform::Button3Click);
    connect(m_listBox1, &QListWidget::itemClicked, this, &Tbatchstampform::ListBox1Click);
    connect(m_speedButton2, &QToolButton::clicked, this, &Tbatchstampform::SpeedButton2Click);
    connect(m_button4, &QPushButton::clicked, this, &Tbatchstampform::Button4Click);
    connect(m_button5, &QPushButton::clicked, this, &Tbatchstampform::Button5Click);

    m_radioButton1->setChecked(true);
    enableProfileBox(false);
}

Tbatchstampform::~Tbatchstampform() = default;

QPushButton* Tbatchstampform::newButton(QWidget* parent, const QString& text, const QString& name,
                                        int x, int y)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(scaled(x, y, ButtonWidth, ButtonHeight));
    button->setAutoDefault(false);
    return button;
}

QStringList Tbatchstampform::files() const
{
    QStringList paths;
    for (int i = 0; i < m_listBox1->count(); ++i)
        paths.append(m_listBox1->item(i)->text());
    return paths;
}

void Tbatchstampform::enableProfileBox(bool enabled)
{
    m_edit1->setEnabled(enabled);
    m_speedButton1->setEnabled(enabled);
}

void Tbatchstampform::RadioButton1Click()
{
    m_radioButton1->setChecked(true);
    enableProfileBox(false);
}

void Tbatchstampform::RadioButton2Click()
{
    m_radioButton2->setChecked(true);
    enableProfileBox(true);
}

void Tbatchstampform::SpeedButton1Click()
{
    const platform::Platform& p = m_ws.platform();
    if (const std::optional<QString> path =
            p.dialogs->openProfile(ProfileDialogTitle, p.folders->dataFolder()))
        m_edit1->setText(*path);
}

void Tbatchstampform::addFiles(const QStringList& paths)
{
    for (const QString& path : batchJpegFiles(paths)) {
        // A folder is no photo, whatever its name.
        if (!QFileInfo(path).isDir())
            m_listBox1->addItem(path);
    }
    listChanged();
}

void Tbatchstampform::listChanged()
{
    m_label1->setText(QStringLiteral("Files: ") + QString::number(m_listBox1->count()));
}

void Tbatchstampform::Button1Click()
{
    const platform::Platform& p = m_ws.platform();
    addFiles(p.dialogs->openPhotos(p.folders->dataFolder()));
}

void Tbatchstampform::Button2Click()
{
    for (int i = m_listBox1->count() - 1; i >= 0; --i) {
        if (m_listBox1->item(i)->isSelected())
            delete m_listBox1->takeItem(i);
    }
    listChanged();
}

void Tbatchstampform::Button3Click()
{
    m_listBox1->clear();
    listChanged();
}

void Tbatchstampform::ListBox1DropFiles(const QStringList& paths)
{
    addFiles(paths);
}

void Tbatchstampform::ListBox1Click()
{
    if (const QListWidgetItem* item = m_listBox1->currentItem())
        m_listBox1->setToolTip(item->text());
}

void Tbatchstampform::SpeedButton2Click()
{
    if (const std::optional<QString> folder =
            m_ws.platform().dialogs->chooseFolder(FolderBrowserCaption, m_edit2->text()))
        m_edit2->setText(normaliseDestinationFolder(*folder));
}

void Tbatchstampform::Button4Click()
{
    const bool savedProfile = m_radioButton2->isChecked();
    const QString missing =
        missingBatchInput({savedProfile, m_edit1->text(), m_listBox1->count(), m_edit2->text()});
    if (!missing.isEmpty()) {
        m_ws.platform().prompts->error(missing);
        return;
    }
    BatchJob job;
    job.useProfile = savedProfile;
    job.profilePath = m_edit1->text();
    job.currentAttributes = m_ws.attributes();
    job.files = files();
    job.destinationFolder = m_edit2->text();
    job.overwrite = m_checkBox1->isChecked();
    job.keepOwnCompression = m_ws.saveOptions().keepOwnCompression;
    m_process->prepare(std::move(job));
    m_runProcess(*m_process);
    clearDialog();
    done(QDialog::Accepted);
}

void Tbatchstampform::Button5Click()
{
    clearDialog();
    done(QDialog::Rejected);
}

void Tbatchstampform::clearDialog()
{
    m_edit1->clear();
    m_edit2->clear();
    m_listBox1->clear();
    m_listBox1->setToolTip(QString());
    RadioButton1Click();
    m_checkBox1->setChecked(false);
    listChanged();
}

bool Tbatchstampform::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_listBox1->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData() && drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            ListBox1DropFiles(droppedPaths(drop->mimeData()));
            drop->acceptProposedAction();
            return true;
        }
        default:
            break;
        }
    }
    return platform::FixedDialog::eventFilter(watched, event);
}

} // namespace tess::batch::ui
