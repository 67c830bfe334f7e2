#include "adjust/ui/LevelDialog.h"

#include "app/workspace/Workspace.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tess::adjust::ui {

LevelDialog::LevelDialog(Workspace& workspace, const Settings& settings, QWidget* parent)
    : platform::FixedDialog(settings.caption, 300, 124, parent), m_ws(workspace),
      m_level(settings.level)
{
    Label3 = new QLabel(this);
    Label3->setGeometry(scaled(100, 8, 100, 16));
    Label3->setAlignment(Qt::AlignCenter);

    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setGeometry(scaled(8, 26, 284, 30));
    TrackBar1->setRange(0, settings.maximum);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(settings.tickInterval);

    Label1 = new QLabel(settings.lowCaption, this);
    Label1->setGeometry(scaled(8, 58, 60, 16));
    Label2 = new QLabel(settings.highCaption, this);
    Label2->setGeometry(scaled(232, 58, 60, 16));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setGeometry(scaled(107, 86, 85, 28));
    Button1->setDefault(true);

    connect(TrackBar1, &QSlider::valueChanged, this, &LevelDialog::TrackBar1Change);
    connect(Button1, &QPushButton::clicked, this, &LevelDialog::Button1Click);
}

void LevelDialog::FormActivate()
{
    {
        const QSignalBlocker block(TrackBar1);
        TrackBar1->setValue(m_ws.attributes().*m_level);
    }
    TrackBar1Change();
}

void LevelDialog::TrackBar1Change()
{
    Label3->setText(positionText(TrackBar1->value()));
}

void LevelDialog::Button1Click()
{
    m_ws.mutableAttributes().*m_level = TrackBar1->value();
    m_ws.notifyChanged();
    accept();
}

} // namespace tess::adjust::ui
