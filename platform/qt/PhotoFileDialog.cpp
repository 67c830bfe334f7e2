#include "platform/qt/PhotoFileDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

namespace tess::platform {

namespace {
constexpr int PreviewSide = 200;
}

PhotoFileDialog::PhotoFileDialog(QWidget* parent, const QString& initialFolder,
                                 const QString& lastFile, bool multiple)
    : QFileDialog(parent, multiple ? QStringLiteral("Add Files") : QStringLiteral("Open"),
                  initialFolder)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    setNameFilters({QStringLiteral("All (*.jpg *.jpeg)"), QStringLiteral("JPEG Image File (*.jpg)"),
                    QStringLiteral("JPEG Image File (*.jpeg)")});
    if (!lastFile.isEmpty()) {
        const QFileInfo info(lastFile);
        if (info.dir().exists() &&
            info.absolutePath().compare(QFileInfo(initialFolder).absoluteFilePath(),
                                        Qt::CaseInsensitive) == 0)
            selectFile(info.fileName());
    }

    m_preview = new QLabel(this);
    m_preview->setFixedSize(PreviewSide, PreviewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_preview, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &PhotoFileDialog::showPreview);
}

void PhotoFileDialog::showPreview(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (!QFileInfo(path).isFile() || !size.isValid() ||
        qint64(size.width()) * size.height() > 400'000'000) {
        m_preview->clear();
        return;
    }
    reader.setScaledSize(size.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    m_preview->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

} // namespace tess::platform
