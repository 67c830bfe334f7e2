#include "app/ui/DialogHost.h"

#include "adjust/ui/TForm16.h"
#include "adjust/ui/TOpacity_form.h"
#include "adjust/ui/TSepia_form.h"
#include "batch/ui/Tbatchstampform.h"
#include "info/ui/TAbout.h"
#include "profiles/ui/Toptionform.h"
#include "stamptext/ui/TForm13.h"
#include "stamptext/ui/Tstampmask.h"
#include "view/ui/TForm14.h"
#include "view/ui/TPreviewForm.h"

namespace tess::ui {

DialogHost::DialogHost(Workspace& workspace, QWidget* mainWindow)
    : m_ws(workspace), m_main(mainWindow),
      m_preview(std::make_unique<view::ui::TPreviewForm>(workspace, mainWindow)),
      m_options(std::make_unique<profiles::ui::Toptionform>(workspace, mainWindow)),
      m_about(std::make_unique<info::ui::TAbout>(workspace.platform(), mainWindow)),
      m_stampMask(std::make_unique<stamptext::ui::Tstampmask>(workspace, mainWindow)),
      m_opacity(std::make_unique<adjust::ui::TOpacity_form>(workspace, mainWindow)),
      m_batchStamp(std::make_unique<batch::ui::Tbatchstampform>(workspace, mainWindow)),
      m_editMask(std::make_unique<stamptext::ui::TForm13>(mainWindow)),
      m_printPreview(std::make_unique<view::ui::TForm14>(workspace, mainWindow)),
      m_sepia(std::make_unique<adjust::ui::TSepia_form>(workspace, mainWindow)),
      m_brightnessContrast(std::make_unique<adjust::ui::TForm16>(workspace, mainWindow))
{}

DialogHost::~DialogHost() = default;

void DialogHost::showOptions()
{
    m_options->prepareToShow();
    m_options->exec();
}

void DialogHost::showBrightnessContrast()
{
    m_brightnessContrast->exec();
}

void DialogHost::showCustomOpacity()
{
    m_opacity->exec();
}

void DialogHost::showSepiaLevel()
{
    m_sepia->exec();
}

std::optional<QString> DialogHost::buildStampMask(const QString& mask)
{
    return m_stampMask->buildMask(mask);
}

QString DialogHost::editStampMask(const QString& text)
{
    return m_editMask->editText(text);
}

void DialogHost::showBatchStamp()
{
    m_batchStamp->exec();
}

void DialogHost::showFullScreenPreview()
{
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

void DialogHost::showPrintPreview()
{
    m_printPreview->exec();
}

void DialogHost::showAbout()
{
    m_about->exec();
}

} // namespace tess::ui
