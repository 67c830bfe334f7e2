#pragma once

#include "app/workspace/Workspace.h"

#include <memory>

class QWidget;

namespace tess::batch::ui {
class Tbatchstampform;
}

namespace tess::profiles::ui {
class Toptionform;
}

namespace tess::view::ui {
class TForm14;
class TPreviewForm;
} // namespace tess::view::ui

namespace tess::info::ui {
class TAbout;
}

namespace tess::adjust::ui {
class TForm16;
class TOpacity_form;
class TSepia_form;
} // namespace tess::adjust::ui

namespace tess::stamptext::ui {
class TForm13;
class Tstampmask;
} // namespace tess::stamptext::ui

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
    void showFullScreenPreview() override;
    void showPrintPreview() override;
    void showAbout() override;
    void showBatchStamp() override;

private:
    Workspace& m_ws;
    QWidget* m_main;
    // Every window is created once, with the host, in the program's start-up order, as a
    // child of the main window, and hidden between uses. The About box describes the system
    // as it was at start-up.
    std::unique_ptr<view::ui::TPreviewForm> m_preview;
    std::unique_ptr<profiles::ui::Toptionform> m_options;
    std::unique_ptr<info::ui::TAbout> m_about;
    std::unique_ptr<stamptext::ui::Tstampmask> m_stampMask;
    std::unique_ptr<adjust::ui::TOpacity_form> m_opacity;
    std::unique_ptr<batch::ui::Tbatchstampform> m_batchStamp;
    std::unique_ptr<stamptext::ui::TForm13> m_editMask;
    std::unique_ptr<view::ui::TForm14> m_printPreview;
    std::unique_ptr<adjust::ui::TSepia_form> m_sepia;
    std::unique_ptr<adjust::ui::TForm16> m_brightnessContrast;
};

} // namespace tess::ui
