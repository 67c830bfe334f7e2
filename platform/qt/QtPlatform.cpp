#include "platform/qt/QtPlatform.h"

#include "platform/qt/FontDialog.h"
#include "platform/qt/PhotoFileDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
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
    // An address or a path a box gives can be copied from it.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
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
    PhotoSaveDialog dialog(parentWindow(), initialFolder);
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
    fitFileDialog(dialog);
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
    fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& current)
{
    FontDialog dialog(current, parentWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
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

namespace {

/// Hands \a url to the desktop's opener. Where Qt would start xdg-open it does not learn
/// whether xdg-open found a program for the address, so xdg-open is started here and
/// given a moment: a quick failure means nothing opened it; still running means a
/// program has it.
bool openWithDesktop(const QUrl& url)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        // Left to run on when it outlasts the wait; it deletes itself when it ends.
        auto* process = new QProcess;
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(opener, {url.toString(QUrl::FullyEncoded)});
        if (!process->waitForStarted(5000)) {
            delete process;
            return false;
        }
        if (!process->waitForFinished(2000))
            return true;
        return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    }
#endif
    return QDesktopServices::openUrl(url);
}

} // namespace

bool QtShell::openUrl(const QString& url)
{
    return openWithDesktop(QUrl::fromUserInput(url));
}

bool QtShell::openDocument(const QString& path)
{
    return QFileInfo(path).isFile() && openWithDesktop(QUrl::fromLocalFile(path));
}

void QtShell::showFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tess::platform
