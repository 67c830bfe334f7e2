#pragma once

#include "app/workspace/Workspace.h"
#include "tests/support/ScriptedPlatform.h"

#include <QDir>
#include <QImage>
#include <QQueue>
#include <QTemporaryDir>
#include <memory>

namespace tess::test {

/// Dialogs of the main window, answered by the test.
class ScriptedWindows : public WorkspaceWindows
{
public:
    QStringList shown;
    std::function<void(Workspace&)> onOptions, onBrightness, onOpacity, onSepia;
    QQueue<std::optional<QString>> maskAnswers;
    QQueue<QString> editAnswers;
    Workspace* ws = nullptr;

    void showOptions() override { run(QStringLiteral("options"), onOptions); }
    void showBrightnessContrast() override { run(QStringLiteral("brightness"), onBrightness); }
    void showCustomOpacity() override { run(QStringLiteral("opacity"), onOpacity); }
    void showSepiaLevel() override { run(QStringLiteral("sepia"), onSepia); }
    std::optional<QString> buildStampMask(const QString&) override
    {
        shown.append(QStringLiteral("mask editor"));
        return maskAnswers.isEmpty() ? std::nullopt : maskAnswers.dequeue();
    }
    QString editStampMask(const QString& text) override
    {
        shown.append(QStringLiteral("edit ") + text);
        return editAnswers.isEmpty() ? QString() : editAnswers.dequeue();
    }

private:
    void run(const QString& name, const std::function<void(Workspace&)>& f)
    {
        shown.append(name);
        if (f && ws)
            f(*ws);
    }
};

/// A workspace on a scripted platform whose documents folder is a fresh temporary folder.
struct WorkspaceFixture
{
    WorkspaceFixture()
        : platform(dir.path() + QStringLiteral("/Documents")),
          ws(std::make_unique<Workspace>(platform.platform()))
    {
        windows.ws = ws.get();
        ws->setWindows(&windows);
    }

    /// A JPEG of \a size in the temporary folder: a gradient, so every region differs.
    QString makePhoto(const QString& name, QSize size)
    {
        QImage image(size, QImage::Format_RGB888);
        for (int y = 0; y < size.height(); ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < size.width(); ++x) {
                row[3 * x] = uchar(x * 255 / qMax(1, size.width() - 1));
                row[3 * x + 1] = uchar(y * 255 / qMax(1, size.height() - 1));
                row[3 * x + 2] = 128;
            }
        }
        const QString path = dir.filePath(name);
        image.save(path, "JPEG", 95);
        return path;
    }

    /// Opens \a path through the Open command, answering the dialog.
    void open(const QString& path)
    {
        platform.dialogs.openPhotoAnswers.enqueue(path);
        ws->open1Click();
    }

    /// Starts the program again on the same platform and documents folder: a new workspace
    /// whose creation handler has run (the old one should have been closed with formClose).
    void restart()
    {
        ws = std::make_unique<Workspace>(platform.platform());
        windows.ws = ws.get();
        ws->setWindows(&windows);
        ws->formCreate();
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    ScriptedWindows windows;
    std::unique_ptr<Workspace> ws;
};

} // namespace tess::test
