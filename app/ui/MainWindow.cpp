#include "app/ui/MainWindow.h"

namespace tess::ui {
MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Orvane Tessarine"));
}
} // namespace tess::ui
