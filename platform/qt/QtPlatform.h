#pragma once

#include "platform/Platform.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSystemInfo.h"

#include <QPointer>

class QWidget;

namespace tess::platform {

/// Message boxes through QMessageBox, parented to the active window.
class QtPrompts : public Prompts
{
public:
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void error(const QString& text) override;
    bool confirm(const QString& text) override;
};

/// The common dialogs through Qt's file, font and colour dialogs.
class QtDialogs : public Dialogs
{
public:
    std::optional<QString> openPhoto(const QString& initialFolder) override;
    QStringList openPhotos(const QString& initialFolder) override;
    std::optional<QString> savePhotoAs(const QString& initialFolder) override;
    std::optional<QString> openProfile(const QString& title, const QString& initialFolder) override;
    std::optional<QString> saveProfile(const QString& title, const QString& initialFolder) override;
    std::optional<FontChoice> chooseFont(const FontChoice& current) override;
    std::optional<quint32> chooseColor(quint32 current) override;
    std::optional<QString> chooseFolder(const QString& caption,
                                        const QString& initialFolder) override;

private:
    QString m_lastPhoto;
};

class QtShell : public Shell
{
public:
    bool openUrl(const QString& url) override;
    bool openDocument(const QString& path) override;
    void showFolder(const QString& path) override;
};

/// The real services, owned together.
class QtPlatform
{
public:
    QtPrompts prompts;
    SystemClock clock;
    SystemFolders folders;
    QtDialogs dialogs;
    QtShell shell;
    QtPrinter printer;
    QtSystemInfo systemInfo;
    Platform platform()
    {
        return Platform{&prompts, &clock, &folders, &dialogs, &shell, &printer, &systemInfo};
    }
};

} // namespace tess::platform
