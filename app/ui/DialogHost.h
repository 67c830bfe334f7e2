#pragma once

#include "app/workspace/Workspace.h"

class QWidget;

namespace tess::ui {

/// Owns the program's secondary windows, created once at start-up and hidden between uses,
/// and shows them for the workspace's commands.
class DialogHost : public WorkspaceWindows
{
public:
    DialogHost(Workspace& workspace, QWidget* mainWindow);
    ~DialogHost() override;

    void showOptions() override;
    void showBrightnessContrast() override;
    void showCustomOpacity() override;
    void showSepiaLevel() override;
    std::optional<QString> buildStampMask(const QString& mask) override;
    QString editStampMask(const QString& text) override;

private:
    Workspace& m_ws;
    QWidget* m_main;
};

} // namespace tess::ui
