#pragma once

#include <QSize>
#include <QString>
#include <QStyle>
#include <functional>

class QToolBar;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace tess::view::ui {

/// The frame the preview windows share: the program's font, a tool bar of 32 x 32 icon
/// buttons at the top and the window's body below it.
struct ToolWindow
{
    QVBoxLayout* layout = nullptr;
    QToolBar* toolBar = nullptr;
};

/// Captions \a window, gives it the program's font and lays out its tool bar.
ToolWindow buildToolWindow(QWidget* window, const QString& caption);

/// A button with the theme's icon \a iconName (the style's \a fallback where the theme has
/// none) and the tool tip \a tip, running \a handler when clicked.
QToolButton* addToolButton(QToolBar* bar, const QString& name, const QString& tip,
                           const QString& iconName, QStyle::StandardPixmap fallback,
                           const std::function<void()>& handler);

/// Sizes \a window to \a design pixels of a 120 dpi screen, scaled to its screen, and centres
/// it there.
void placeScaled(QWidget* window, QSize design, bool asMinimum = false);

} // namespace tess::view::ui
