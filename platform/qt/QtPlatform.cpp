#include "platform/qt/QtPlatform.h"

#include "platform/qt/PhotoFileDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <QUrl>

namespace tess::platform {

namespace {
QWidget* parentWindow()
{
    return QApplication::activeWindow();
}

void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

const QString ProfileFilter = QStringLiteral("Orvane Tessarine Attributes (*.tsrx)");
} // namespace

void QtPrompts::warning(const QString& text)
{
    showBox(QMessageBox::Warning, QStringLiteral("Warning"), text);
}

void QtPrompts::information(const QString& text)
{
    showBox(QMessageBox::Information, QStringLiteral("Information"), text);
}

void QtPrompts::error(const QString& text)
{
    showBox(QMessageBox::Critical, QStringLiteral("Error"), text);
}

bool QtPrompts::confirm(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parentWindow());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtDialogs::openPhoto(const QString& initialFolder)
{
    PhotoFileDialog dialog(parentWindow(), initialFolder, m_lastPhoto);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    m_lastPhoto = dialog.selectedFiles().constFirst();
    return m_lastPhoto;
}

QStringList QtDialogs::openPhotos(const QString& initialFolder)
{
    PhotoFileDialog dialog(parentWindow(), initialFolder, QString(), true);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogs::savePhotoAs(const QString& initialFolder)
{
    QFileDialog dialog(parentWindow(), QStringLiteral("Save As"), initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("All (*.jpg *.jpeg)"),
                           QStringLiteral("JPEG Image File (*.jpg)"),
                           QStringLiteral("JPEG Image File (*.jpeg)")});
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::openProfile(const QString& title, const QString& initialFolder)
{
    QFileDialog dialog(parentWindow(), title, initialFolder, ProfileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("tsrx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::saveProfile(const QString& title, const QString& initialFolder)
{
    QFileDialog dialog(parentWindow(), title, initialFolder, ProfileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("tsrx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& current)
{
    QFont font(current.face);
    font.setPointSize(qMax(1, current.pointSize));
    font.setBold(current.bold);
    font.setItalic(current.italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parentWindow(), QStringLiteral("Font"),
                                              QFontDialog::ScalableFonts);
    if (!ok)
        return std::nullopt;
    return FontChoice{chosen.family(), qMax(1, chosen.pointSize()), chosen.bold(), chosen.italic()};
}

std::optional<quint32> QtDialogs::chooseColor(quint32 current)
{
    const QColor initial(int(current & 0xFF), int((current >> 8) & 0xFF),
                         int((current >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(initial, parentWindow(), QStringLiteral("Color"));
    if (!chosen.isValid())
        return std::nullopt;
    return quint32(chosen.red()) | (quint32(chosen.green()) << 8) | (quint32(chosen.blue()) << 16);
}

std::optional<QString> QtDialogs::chooseFolder(const QString& caption, const QString& initialFolder)
{
    const QString folder =
        QFileDialog::getExistingDirectory(parentWindow(), caption, initialFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

void QtShell::openUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

bool QtShell::openDocument(const QString& path)
{
    return QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtShell::showFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tess::platform
