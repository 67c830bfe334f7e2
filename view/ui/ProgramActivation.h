#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

namespace tess::view::ui {

/// Calls back each time \a window becomes the program's active window: when it is shown,
/// and when the user comes back to it from another window of the program. Coming back from
/// another program does not count.
class ProgramActivation : public QObject
{
    Q_OBJECT
public:
    ProgramActivation(QWidget* window, std::function<void()> activated);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusWindowChanged(QWindow* focus);

    QWidget* m_window;
    std::function<void()> m_activated;
    QPointer<QWindow> m_lastFocus;
    /// The showing itself counted as the activation; its first focus does not count again.
    bool m_justShown = false;
};

} // namespace tess::view::ui
