#pragma once

#include <QMainWindow>

namespace tess::ui {
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};
} // namespace tess::ui
