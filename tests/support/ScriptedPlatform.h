#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>
#include <optional>

namespace tess::test {

/// Records every message box; confirmations are answered from a queue (OK when empty).
class ScriptedPrompts : public platform::Prompts
{
public:
    struct Message
    {
        QString kind; ///< "warning", "information", "error", "confirm"
        QString text;
        bool operator==(const Message&) const = default;
    };
    QList<Message> shown;
    QQueue<bool> confirmAnswers;

    void warning(const QString& text) override { shown.append({QStringLiteral("warning"), text}); }
    void information(const QString& text) override
    {
        shown.append({QStringLiteral("information"), text});
    }
    void error(const QString& text) override { shown.append({QStringLiteral("error"), text}); }
    bool confirm(const QString& text) override
    {
        shown.append({QStringLiteral("confirm"), text});
        return confirmAnswers.isEmpty() ? true : confirmAnswers.dequeue();
    }
    QStringList texts() const;
    void clear() { shown.clear(); }
};

class ScriptedClock : public platform::Clock
{
public:
    QDateTime time = QDateTime(QDate(2008, 7, 3), QTime(14, 5, 9));
    QString date = QStringLiteral("/");
    QString timeSep = QStringLiteral(":");
    QDateTime now() const override { return time; }
    QString dateSeparator() const override { return date; }
    QString timeSeparator() const override { return timeSep; }
};

class ScriptedFolders : public platform::Folders
{
public:
    QString documents;
    QString documentsFolder() const override { return documents; }
};

/// Each dialog answers from its own queue; an empty queue means Cancel.
class ScriptedDialogs : public platform::Dialogs
{
public:
    QQueue<std::optional<QString>> openPhotoAnswers, savePhotoAnswers, openProfileAnswers,
        saveProfileAnswers;
    QQueue<std::optional<platform::FontChoice>> fontAnswers;
    QQueue<std::optional<quint32>> colorAnswers;
    QQueue<QStringList> openPhotosAnswers;
    QQueue<std::optional<QString>> folderAnswers;
    QStringList asked; ///< which dialogs were shown, with their titles or folders

    std::optional<QString> openPhoto(const QString& initialFolder) override;
    QStringList openPhotos(const QString& initialFolder) override;
    std::optional<QString> savePhotoAs(const QString& initialFolder) override;
    std::optional<QString> openProfile(const QString& title, const QString& initialFolder) override;
    std::optional<QString> saveProfile(const QString& title, const QString& initialFolder) override;
    std::optional<platform::FontChoice> chooseFont(const platform::FontChoice& current) override;
    std::optional<quint32> chooseColor(quint32 current) override;
    std::optional<QString> chooseFolder(const QString& caption,
                                        const QString& initialFolder) override;
};

class ScriptedShell : public platform::Shell
{
public:
    QStringList opened, folders, documents;
    bool documentOpens = true; ///< what openDocument answers
    void openUrl(const QString& url) override { opened.append(url); }
    bool openDocument(const QString& path) override
    {
        documents.append(path);
        return documentOpens;
    }
    void showFolder(const QString& path) override { folders.append(path); }
};

/// A printer that answers from its script and keeps every page it was asked to print.
class ScriptedPrinter : public platform::Printer
{
public:
    /// The sheet in portrait; landscape swaps the axes. Nothing: there is no printer.
    std::optional<platform::PrinterMetrics> portrait;
    platform::PageOrientation orientation = platform::PageOrientation::Portrait;
    /// Answers of the setup dialog; an empty queue means Cancel. \c onSetup runs before
    /// an OK answer, as the user's changes in the dialog.
    QQueue<bool> setupAnswers;
    std::function<void(ScriptedPrinter&)> onSetup;
    /// When set, every print job fails with this text.
    std::optional<QString> jobError;
    struct Job
    {
        QString title;
        QPicture page;
        QRect target;
    };
    QList<Job> jobs;
    int setupShown = 0;

    void setOrientation(platform::PageOrientation o) override { orientation = o; }
    std::optional<platform::PrinterMetrics> metrics() override;
    bool setup() override;
    platform::PrintResult printPage(const QString& title, const QPicture& page,
                                    const QRect& target) override;
    /// \a m as the printer reports it with the sheet turned a quarter.
    static platform::PrinterMetrics turned(platform::PrinterMetrics m);
    /// A letter sheet at \a dpi with \a border printer pixels of margin on every side.
    static platform::PrinterMetrics letter(int dpi, int border, int numColors = -1);
};

class ScriptedSystemInfo : public platform::SystemInfo
{
public:
    std::optional<platform::OsVersion> os;
    std::optional<quint64> memory;
    std::optional<platform::OsVersion> osVersion() override { return os; }
    std::optional<quint64> physicalMemory() override { return memory; }
};

/// A whole scripted platform whose documents folder is \a documents.
struct ScriptedPlatform
{
    explicit ScriptedPlatform(const QString& documents);
    ScriptedPrompts prompts;
    ScriptedClock clock;
    ScriptedFolders folders;
    ScriptedDialogs dialogs;
    ScriptedShell shell;
    ScriptedPrinter printer;
    ScriptedSystemInfo systemInfo;
    platform::Platform platform();
};

} // namespace tess::test
