#pragma once

#include <QFileDialog>

class QLabel;

namespace tess::platform {

/// The photo Open dialog: the three JPEG filters and a preview of the selected picture
/// beside the file list.
class PhotoFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    PhotoFileDialog(QWidget* parent, const QString& initialFolder, const QString& lastFile,
                    bool multiple = false);

private:
    void showPreview(const QString& path);
    QLabel* m_preview = nullptr;
};

} // namespace tess::platform
