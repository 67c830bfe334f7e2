#include "adjust/ui/TOpacity_form.h"

#include <cmath>

namespace tess::adjust::ui {

QString opacityPercentText(int position)
{
    return QString::number(int(std::nearbyint(position * 100.0 / 255.0))) + u'%';
}

TOpacity_form::TOpacity_form(Workspace& workspace, QWidget* parent)
    : LevelDialog(workspace,
                  {QStringLiteral("Custom Opacity Level"), &StampAttributes::opacity, 255, 25,
                   QStringLiteral("0%"), QStringLiteral("100%")},
                  parent)
{
    setObjectName(QStringLiteral("Opacity_form"));
}

} // namespace tess::adjust::ui
