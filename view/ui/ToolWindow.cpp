#include "view/ui/ToolWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>

namespace tess::view::ui {

namespace {

constexpr double DesignDpi = 120.0;
constexpr int ButtonSide = 32;

} // namespace

ToolWindow buildToolWindow(QWidget* window, const QString& caption)
{
    window->setWindowTitle(caption);
    QFont ownFont;
    ownFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    ownFont.setPointSize(8);
    window->setFont(ownFont);

    ToolWindow parts;
    parts.layout = new QVBoxLayout(window);
    parts.layout->setContentsMargins(0, 0, 0, 0);
    parts.layout->setSpacing(0);
    parts.toolBar = new QToolBar(window);
    parts.toolBar->setObjectName(QStringLiteral("ToolBar1"));
    parts.toolBar->setIconSize(QSize(ButtonSide, ButtonSide));
    parts.toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    parts.toolBar->setMovable(false);
    parts.layout->addWidget(parts.toolBar);
    return parts;
}

QToolButton* addToolButton(QToolBar* bar, const QString& name, const QString& tip,
                           const QString& iconName, QStyle::StandardPixmap fallback,
                           const std::function<void()>& handler)
{
    QIcon icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        icon = bar->style()->standardIcon(fallback, nullptr, bar);
    QAction* action = bar->addAction(icon, tip);
    action->setToolTip(tip);
    QObject::connect(action, &QAction::triggered, bar, handler);
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    button->setObjectName(name);
    return button;
}

void placeScaled(QWidget* window, QSize design, bool asMinimum)
{
    const QWidget* parent = window->parentWidget();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const double scale = (screen ? screen->logicalDotsPerInch() : 96.0) / DesignDpi;
    const QSize size(int(std::nearbyint(design.width() * scale)),
                     int(std::nearbyint(design.height() * scale)));
    if (asMinimum)
        window->setMinimumSize(size);
    window->resize(size);
    if (screen)
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace tess::view::ui
