#pragma once

#include <QIcon>

namespace tess::info::ui {

/// The program's own icon in every size it is drawn in (16 to 256 pixels), built into the
/// program: it needs no installed file.
QIcon programIcon();

} // namespace tess::info::ui
