#pragma once

#include "adjust/ui/LevelDialog.h"

namespace tess::adjust::ui {

/// "Sepia Level": sets sepiaLevel (0..100) for the Custom sepia choice.
class TSepia_form : public LevelDialog
{
    Q_OBJECT
public:
    explicit TSepia_form(Workspace& workspace, QWidget* parent = nullptr);
};

} // namespace tess::adjust::ui
