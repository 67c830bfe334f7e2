#include "platform/qt/PhotoFileDialog.h"

#include "metadata/JpegCodec.h"
#include "platform/PhotoLimits.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>

namespace tess::platform {

namespace {
constexpr int PreviewSide = 200;

// Starting size at 120 dpi, scaled to the screen and kept within it.
constexpr int DesignDpi = 120;
constexpr int DesignWidth = 1200;
constexpr int DesignHeight = 640;

const QStringList PhotoFilters = {QStringLiteral("All (*.jpg *.jpeg)"),
                                  QStringLiteral("JPEG Image File (*.jpg)"),
                                  QStringLiteral("JPEG Image File (*.jpeg)")};
} // namespace

void fitFileDialog(QFileDialog& dialog)
{
    const QScreen* screen =
        dialog.parentWidget() ? dialog.parentWidget()->screen() : QGuiApplication::primaryScreen();
    const double scale = (screen ? screen->logicalDotsPerInch() : 96.0) / DesignDpi;
    QSize size(qRound(DesignWidth * scale), qRound(DesignHeight * scale));
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    dialog.resize(size);

    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!details || !model)
        return;
    // The name takes the room the other columns leave.
    details->header()->setStretchLastSection(false);
    details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    const auto fitColumns = [details] {
        for (int column = 1; column < details->header()->count(); ++column)
            details->resizeColumnToContents(column);
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, details, fitColumns);
    fitColumns();
}

PhotoFileDialog::PhotoFileDialog(QWidget* parent, const QString& initialFolder,
                                 const QString& lastFile, bool multiple)
    : QFileDialog(parent, multiple ? QStringLiteral("Add Files") : QStringLiteral("Open"),
                  initialFolder)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    setNameFilters(PhotoFilters);
    // The last chosen file is the file name, so the dialog starts in its folder.
    if (!lastFile.isEmpty() && QFileInfo(lastFile).dir().exists())
        selectFile(QFileInfo(lastFile).absoluteFilePath());

    m_preview = new QLabel(this);
    m_preview->setFixedSize(PreviewSide, PreviewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_preview, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &PhotoFileDialog::showPreview);
    if (!lastFile.isEmpty())
        showPreview(lastFile);
    fitFileDialog(*this);
}

void PhotoFileDialog::showPreview(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true); // upright, as the photo opens
    const QSize size = reader.size();
    // A JPEG that the program would refuse to open could hold the dialog for minutes.
    if (!QFileInfo(path).isFile() || !size.isValid() ||
        qint64(size.width()) * size.height() > MaxPhotoPixels ||
        (reader.format() == "jpeg" && !metadata::jpegRefusal(path).isEmpty())) {
        m_preview->clear();
        return;
    }
    reader.setScaledSize(size.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    m_preview->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

std::optional<QString> photoSaveTarget(const QString& chosen)
{
    const QFileInfo info(chosen);
    if (!info.dir().exists())
        return std::nullopt;
    const QString suffix = info.suffix();
    if (suffix.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QLatin1String("jpeg"), Qt::CaseInsensitive) == 0)
        return chosen;
    QString name = chosen;
    while (name.endsWith(u'.'))
        name.chop(1);
    return name + QStringLiteral(".jpg");
}

PhotoSaveDialog::PhotoSaveDialog(QWidget* parent, const QString& initialFolder)
    : QFileDialog(parent, QStringLiteral("Save As"), initialFolder)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(PhotoFilters);
    setDefaultSuffix(QStringLiteral("jpg"));
    setOption(QFileDialog::DontConfirmOverwrite, false);
    fitFileDialog(*this);
}

void PhotoSaveDialog::accept()
{
    const QStringList files = selectedFiles();
    // A folder typed as the name is opened by the dialog itself.
    if (files.isEmpty() || QFileInfo(files.constFirst()).isDir()) {
        QFileDialog::accept();
        return;
    }
    const std::optional<QString> target = photoSaveTarget(files.constFirst());
    if (!target) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("%1\nThe folder does not exist.\n"
                                            "Check the folder name and try again.")
                                 .arg(QDir::toNativeSeparators(files.constFirst())));
        return;
    }
    if (*target != files.constFirst()) {
        // selectFile leaves the name box alone while it has the focus.
        const QFileInfo info(*target);
        setDirectory(info.absolutePath());
        if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(info.fileName());
    }
    QFileDialog::accept();
}

} // namespace tess::platform
