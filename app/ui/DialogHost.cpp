#include "app/ui/DialogHost.h"

namespace tess::ui {

DialogHost::DialogHost(Workspace& workspace, QWidget* mainWindow)
    : m_ws(workspace), m_main(mainWindow)
{}

DialogHost::~DialogHost() = default;

void DialogHost::showOptions() {}

void DialogHost::showBrightnessContrast() {}

void DialogHost::showCustomOpacity() {}

void DialogHost::showSepiaLevel() {}

std::optional<QString> DialogHost::buildStampMask(const QString& mask)
{
    return mask;
}

QString DialogHost::editStampMask(const QString&)
{
    return QString();
}

} // namespace tess::ui
