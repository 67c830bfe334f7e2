#pragma once

#include "app/workspace/Workspace.h"

#include <QHash>
#include <QMainWindow>
#include <QPixmap>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSlider;
class QToolButton;

namespace tess::ui {

class PhotoPane;

/// The main window (TMain): a thin view over the Workspace. Every control shows the model's
/// state in refresh(); every user action is forwarded to a Workspace command.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Workspace& workspace, QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() { return m_ws; }

    /// Named actions, for tests and the tool bar ("Open1", "Save1", "N21", ...).
    QAction* action(const QString& name) const { return m_actions.value(name); }
    QToolButton* anchorButton(const QString& position) const { return m_anchors.value(position); }
    QSlider* horizontalTrackBar() const { return m_trackBar1; }
    QSlider* verticalTrackBar() const { return m_trackBar2; }
    QComboBox* stampMaskField() const { return m_comboBox1; }
    QListWidget* stampTextList() const { return m_checkListBox1; }
    QPlainTextEdit* textPreview() const { return m_memo1; }
    QGroupBox* photoPane() const { return m_groupBox2; }
    QToolButton* button(const QString& name) const { return m_buttons.value(name); }
    /// The picture shown in the photo pane (the stamped photo scaled to fit).
    QPixmap shownPicture() const;

    /// Creation handler: runs the model's start-up and places the window.
    void formCreate();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addAction(QMenu* menu, const QString& name, const QString& text,
                       const std::function<void()>& command, const QKeySequence& shortcut = {});
    void buildMenus();
    void buildToolBar();
    void buildPhotoPane(QWidget* central);
    void buildAttributesBox(QWidget* central);
    void run(const std::function<void()>& command);
    void refresh();
    void refreshPicture();
    void centreOnScreen();
    void moveToStoredPosition();
    QRect scaled(int x, int y, int w, int h) const;

    Workspace& m_ws;
    double m_scale = 1.0;
    bool m_refreshing = false;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QToolButton*> m_anchors;
    QHash<QString, QToolButton*> m_buttons;
    QList<QAction*> m_photoActions;
    QList<QWidget*> m_photoWidgets;
    QMenu* m_opacityMenu = nullptr;
    QMenu* m_outlineWidthMenu = nullptr;
    QGroupBox* m_groupBox1 = nullptr;
    QGroupBox* m_groupBox2 = nullptr;
    PhotoPane* m_image1 = nullptr;
    QSlider* m_trackBar1 = nullptr;
    QSlider* m_trackBar2 = nullptr;
    QComboBox* m_comboBox1 = nullptr;
    QListWidget* m_checkListBox1 = nullptr;
    QPlainTextEdit* m_memo1 = nullptr;
};

} // namespace tess::ui
