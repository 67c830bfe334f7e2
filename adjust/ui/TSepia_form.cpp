#include "adjust/ui/TSepia_form.h"

namespace tess::adjust::ui {

TSepia_form::TSepia_form(Workspace& workspace, QWidget* parent)
    : LevelDialog(workspace,
                  {QStringLiteral("Sepia Level"), &StampAttributes::sepiaLevel, 100, 5,
                   QStringLiteral("0"), QStringLiteral("100")},
                  parent)
{
    setObjectName(QStringLiteral("Sepia_form"));
}

} // namespace tess::adjust::ui
