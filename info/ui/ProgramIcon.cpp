#include "info/ui/ProgramIcon.h"

// The icons' resource lives in this static library; the linker keeps it only when asked.
static void initIcons()
{
    Q_INIT_RESOURCE(icons);
}

namespace tess::info::ui {

QIcon programIcon()
{
    initIcons();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tessarine-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace tess::info::ui
