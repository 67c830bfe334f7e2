#include "adjust/ui/TForm16.h"

#include "adjust/PixelEffects.h"
#include "app/workspace/Workspace.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tess::adjust::ui {

namespace {

constexpr int Unchanged = 255;
constexpr int PreviewSide = 139;

} // namespace

TForm16::TForm16(Workspace& workspace, QWidget* parent)
    : platform::FixedDialog(QStringLiteral("Brightness and Contrast"), 439, 244, parent),
      m_ws(workspace)
{
    setObjectName(QStringLiteral("Form16"));

    GroupBox1 = new QGroupBox(QStringLiteral("Brightness"), this);
    GroupBox1->setGeometry(scaled(8, 8, 260, 92));
    TrackBar1 = addTrackBar(GroupBox1, Label1, Label2, Label3);

    GroupBox2 = new QGroupBox(QStringLiteral("Contrast"), this);
    GroupBox2->setGeometry(scaled(8, 106, 260, 92));
    TrackBar2 = addTrackBar(GroupBox2, Label4, Label5, Label6);

    GroupBox3 = new QGroupBox(QStringLiteral("Preview"), this);
    GroupBox3->setGeometry(scaled(276, 8, 155, 190));
    // Qt paints every widget through a back buffer, so the preview never flickers.
    ScrollBox1 = new QWidget(GroupBox3);
    // Below the caption and inside the frame, however high the style draws them.
    const int previewTop = qMax(scaled(20), GroupBox3->contentsRect().top() + scaled(3));
    ScrollBox1->setGeometry(scaled(8), previewTop, scaled(PreviewSide), scaled(PreviewSide));
    Image1 = new QLabel(ScrollBox1);
    Image1->setGeometry(0, 0, ScrollBox1->width(), ScrollBox1->height());
    Image1->setAlignment(Qt::AlignCenter);
    CheckBox1 = new QCheckBox(QStringLiteral("&Visible:"), GroupBox3);
    CheckBox1->setGeometry(scaled(8), qMax(scaled(164), ScrollBox1->geometry().bottom() + 1),
                           scaled(139), scaled(20));
    CheckBox1->setChecked(true);

    Button2 = new QPushButton(QStringLiteral("&Reset"), this);
    Button2->setGeometry(scaled(8, 208, 85, 28));
    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setGeometry(scaled(250, 208, 85, 28));
    Button1->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    Button3->setGeometry(scaled(346, 208, 85, 28));
    // Esc is Cancel; only the close box leaves without setting dialogCancelled.
    setCancelButton(Button3);

    connect(TrackBar1, &QSlider::valueChanged, this, &TForm16::TrackBar2Change);
    connect(TrackBar2, &QSlider::valueChanged, this, &TForm16::TrackBar2Change);
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm16::CheckBox1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm16::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TForm16::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm16::Button3Click);
}

QSlider* TForm16::addTrackBar(QGroupBox* box, QLabel*& low, QLabel*& high, QLabel*& value)
{
    value = new QLabel(QStringLiteral("0"), box);
    value->setGeometry(scaled(90, 20, 80, 16));
    value->setAlignment(Qt::AlignCenter);

    auto* bar = new QSlider(Qt::Horizontal, box);
    bar->setGeometry(scaled(8, 38, 244, 30));
    bar->setRange(0, 2 * Unchanged);
    bar->setValue(Unchanged);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(25);

    low = new QLabel(QStringLiteral("-255"), box);
    low->setGeometry(scaled(8, 70, 50, 16));
    high = new QLabel(QStringLiteral("255"), box);
    high->setGeometry(scaled(202, 70, 50, 16));
    high->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return bar;
}

void TForm16::setPositions(int brightness, int contrast)
{
    {
        const QSignalBlocker block1(TrackBar1);
        const QSignalBlocker block2(TrackBar2);
        // The bars keep their positions inside 0..510: a stored value outside shows at the
        // nearest end, and OK then writes that end.
        TrackBar1->setValue(brightness);
        TrackBar2->setValue(contrast);
    }
    TrackBar2Change();
}

void TForm16::FormActivate()
{
    const StampAttributes& a = m_ws.attributes();
    setPositions(a.brightness, a.contrast);
}

void TForm16::TrackBar2Change()
{
    Label3->setText(QString::number(TrackBar1->value() - Unchanged));
    Label6->setText(QString::number(TrackBar2->value() - Unchanged));
    // The pipeline runs on the full-size photo: no work while the preview is switched off.
    if (CheckBox1->isChecked())
        updateAdjustmentPreview();
}

void TForm16::CheckBox1Click()
{
    if (CheckBox1->isChecked()) {
        Image1->show();
        updateAdjustmentPreview();
    } else {
        Image1->hide();
    }
}

void TForm16::Button2Click()
{
    setPositions(Unchanged, Unchanged);
}

void TForm16::Button1Click()
{
    m_ws.setDialogCancelled(false);
    StampAttributes& a = m_ws.mutableAttributes();
    a.brightness = TrackBar1->value();
    a.contrast = TrackBar2->value();
    m_ws.notifyChanged();
    accept();
}

void TForm16::Button3Click()
{
    m_ws.setDialogCancelled(true);
    reject();
}

void TForm16::updateAdjustmentPreview()
{
    ++m_previewRenders;
    const StampAttributes& a = m_ws.attributes();
    // The same sepia byte the stamp renderer uses, so the preview matches the photo.
    const QImage adjusted =
        adjust::applyPhotoAdjustments(m_ws.basePhoto(), a.effect, quint8(a.sepiaLevel & 0xFF),
                                      TrackBar1->value(), TrackBar2->value());
    m_preview = adjust::scaledForDisplay(
        adjusted,
        adjusted.size().scaled(ScrollBox1->size(), Qt::KeepAspectRatio).expandedTo({1, 1}));
    Image1->setPixmap(QPixmap::fromImage(m_preview));
}

} // namespace tess::adjust::ui
