#include "app/ui/DialogHost.h"
#include "app/ui/MainWindow.h"
#include "app/workspace/Workspace.h"
#include "info/ui/ProgramIcon.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <exception>

namespace {

/// Shows any error that no command handled in an error box; the window keeps its state.
class Application : public QApplication
{
public:
    using QApplication::QApplication;
    tess::platform::Prompts* prompts = nullptr;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            report(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            report(QStringLiteral("An unexpected error occurred."));
        }
        return false;
    }

private:
    void report(const QString& text)
    {
        if (prompts)
            prompts->error(text);
    }
};

} // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);
    Application::setApplicationName(QStringLiteral("Orvane Tessarine"));
    Application::setOrganizationName(QStringLiteral("Orvane"));
    Application::setApplicationVersion(QStringLiteral(TESS_VERSION));
    // Every window of the program carries its icon; the menu entry is found by this name.
    Application::setWindowIcon(tess::info::ui::programIcon());
    Application::setDesktopFileName(QStringLiteral("example.orvane.tessarine"));

    tess::platform::QtPlatform services;
    app.prompts = &services.prompts;
    tess::Workspace workspace(services.platform());

    // The main window first; its creation handler runs before any other window exists.
    tess::ui::MainWindow window(workspace);
    window.formCreate();
    tess::ui::DialogHost dialogs(workspace, &window);
    workspace.setWindows(&dialogs);

    window.show();
    return app.exec();
}
