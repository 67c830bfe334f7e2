#pragma once

#include "adjust/ui/LevelDialog.h"

namespace tess::adjust::ui {

/// The percentage an opacity of 0..255 stands for, rounded: "0%" .. "100%".
QString opacityPercentText(int position);

/// "Custom Opacity Level": sets opacity (0..255) for the Custom opacity choice.
class TOpacity_form : public LevelDialog
{
    Q_OBJECT
public:
    explicit TOpacity_form(Workspace& workspace, QWidget* parent = nullptr);

protected:
    QString positionText(int position) const override { return opacityPercentText(position); }
};

} // namespace tess::adjust::ui
