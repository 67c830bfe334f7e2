#include "view/ui/ProgramActivation.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace tess::view::ui {

ProgramActivation::ProgramActivation(QWidget* window, std::function<void()> activated)
    : QObject(window), m_window(window), m_activated(std::move(activated)),
      m_lastFocus(QGuiApplication::focusWindow())
{
    window->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &ProgramActivation::focusWindowChanged);
}

bool ProgramActivation::eventFilter(QObject* watched, QEvent* event)
{
    // A window restored from the task bar is not a new showing.
    if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous()) {
        m_justShown = true;
        m_activated();
    }
    return QObject::eventFilter(watched, event);
}

void ProgramActivation::focusWindowChanged(QWindow* focus)
{
    // Another program has the focus now: the next focus here is not a return from a window
    // of this program unless one of them is focused first.
    if (!focus)
        return;
    const QWindow* own = m_window->windowHandle();
    const bool mine = own && focus == own;
    if (mine) {
        const bool fromElsewhere = m_lastFocus != own;
        if (m_justShown)
            m_justShown = false;
        else if (fromElsewhere && m_window->isVisible())
            m_activated();
    } else {
        m_justShown = false;
    }
    m_lastFocus = focus;
}

} // namespace tess::view::ui
