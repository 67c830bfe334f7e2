#pragma once

#include <QFileDialog>
#include <optional>

class QLabel;

namespace tess::platform {

/// Gives a file dialog a starting size that shows its columns in full, and sizes the
/// columns after the file name to their contents whenever a folder has been read (Qt's own
/// dialog only; a native one keeps its own layout).
void fitFileDialog(QFileDialog& dialog);

/// The photo Open dialog: the three JPEG filters and a preview of the selected picture
/// beside the file list. With \a lastFile it starts on that file, in its folder.
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

/// The file Save As writes for the \a chosen name: ".jpg" is added unless the name ends in
/// ".jpg" or ".jpeg", so JPEG data never goes under another format's name. Nothing when the
/// chosen folder does not exist.
std::optional<QString> photoSaveTarget(const QString& chosen);

/// The photo Save As dialog: the three JPEG filters; it accepts only existing folders,
/// names the file by photoSaveTarget and asks before replacing a file.
class PhotoSaveDialog : public QFileDialog
{
    Q_OBJECT
public:
    PhotoSaveDialog(QWidget* parent, const QString& initialFolder);

    void accept() override;
};

} // namespace tess::platform
