#include "platform/qt/FixedDialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <cmath>

namespace tess::platform {

namespace {

constexpr double DesignDpi = 120.0;

} // namespace

FixedDialog::FixedDialog(const QString& caption, int width, int height, QWidget* parent)
    : QDialog(parent)
{
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    m_scale = (screen ? screen->logicalDotsPerInch() : 96.0) / DesignDpi;

    QFont ownFont;
    ownFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    ownFont.setPointSize(8);
    setFont(ownFont);

    setWindowTitle(caption);
    // Dialog border: a title and a close box, no resizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(scaled(width), scaled(height));
    setModal(true);
}

int FixedDialog::scaled(int designPixels) const
{
    return int(std::nearbyint(designPixels * m_scale));
}

QRect FixedDialog::scaled(int x, int y, int w, int h) const
{
    return QRect(scaled(x), scaled(y), scaled(w), scaled(h));
}

void FixedDialog::showEvent(QShowEvent* event)
{
    // A window restored from the task bar is not a new showing.
    if (!event->spontaneous()) {
        centreOnScreen();
        FormActivate();
    }
    QDialog::showEvent(event);
}

void FixedDialog::keyPressEvent(QKeyEvent* event)
{
    if (m_cancelButton && event->matches(QKeySequence::Cancel)) {
        m_cancelButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FixedDialog::centreOnScreen()
{
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

} // namespace tess::platform
