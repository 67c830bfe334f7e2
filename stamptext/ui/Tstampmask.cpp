#include "stamptext/ui/Tstampmask.h"

#include "app/workspace/Workspace.h"
#include "stamptext/ui/MaskLineEdit.h"
#include "stamptext/ui/SamplePreview.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tess::stamptext::ui {

const QStringList& stampMaskItems()
{
    static const QStringList items = {
        QStringLiteral("Exif - Aperture: [aperture_exif]"),
        QStringLiteral("Exif - Artist: [artist_exif]"),
        QStringLiteral("Exif - Compressed BPP: [compressedbpp_exif]"),
        QStringLiteral("Exif - Copyright: [copyright_exif]"),
        QStringLiteral("Exif - Created Date Time: [createddatetime_exif]"),
        QStringLiteral("Exif - Date Time: [datetime_exif]"),
        QStringLiteral("Exif - Exposure Program: [exposureprogram_exif]"),
        QStringLiteral("Exif - Exposure: [exposure_exif]"),
        QStringLiteral("Exif - Flash: [flash_exif]"),
        QStringLiteral("Exif - Fstops: [fstops_exif]"),
        QStringLiteral("Exif - Image Description: [imagedesc_exif]"),
        QStringLiteral("Exif - ISO speed: [isospeed_exif]"),
        QStringLiteral("Exif - Light Source: [lightsource_exif]"),
        QStringLiteral("Exif - Make: [make_exif]"),
        QStringLiteral("Exif - Max Aperture: [maxaperture_exif]"),
        QStringLiteral("Exif - Metering Method: [meteringmethod_exif]"),
        QStringLiteral("Exif - Metering Mode: [meteringmode_exif]"),
        QStringLiteral("Exif - Model: [model_exif]"),
        QStringLiteral("Exif - Orientation: [orientation_exif]"),
        QStringLiteral("Exif - Original Date Time: [originaldatetime_exif]"),
        QStringLiteral("Exif - PixelX Dimension: [pixelxdimension_exif]"),
        QStringLiteral("Exif - PixelY Dimension: [pixelydimension_exif]"),
        QStringLiteral("Exif - Shutter Speed: [shutterspeed_exif]"),
        QStringLiteral("Exif - Software: [software_exif]"),
        QStringLiteral("Exif - User Comments: [usercomments_exif]"),
        QStringLiteral("Exif - X Resolution: [xresolution_exif]"),
        QStringLiteral("Exif - Y Resolution: [yresolution_exif]"),
        QStringLiteral("Day: [dd]"),
        QStringLiteral("Month: [MM]"),
        QStringLiteral("Year: [yyyy]"),
        QStringLiteral("Hour: [hh]"),
        QStringLiteral("Minutes: [mm]"),
        QStringLiteral("Seconds: [ss]"),
        QStringLiteral("Picture Width: [p_width]"),
        QStringLiteral("Picture Height: [p_height]"),
        QStringLiteral("File Name: [p_filename]"),
        QStringLiteral("File Date/Time: [p_filedatetime]"),
    };
    return items;
}

Tstampmask::Tstampmask(Workspace& workspace, QWidget* parent)
    : platform::FixedDialog(QStringLiteral("Stamp Mask Editor"), 520, 398, parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("stampmask"));

    Label1 = new QLabel(QStringLiteral("Mask Values:"), this);
    Label1->setGeometry(scaled(8, 8, 300, 16));
    lbStamps = new QListWidget(this);
    lbStamps->setGeometry(scaled(8, 26, 420, 222));
    lbStamps->setSelectionMode(QAbstractItemView::SingleSelection);
    lbStamps->addItems(stampMaskItems());
    btnAddMAsk = new QPushButton(QStringLiteral("&Add"), this);
    btnAddMAsk->setGeometry(scaled(436, 26, 76, 28));

    Label2 = new QLabel(QStringLiteral("Stamp Mask:"), this);
    Label2->setGeometry(scaled(8, 256, 300, 16));
    edtStampMask = new MaskLineEdit(this);
    edtStampMask->setGeometry(scaled(8, 274, 504, 24));

    Label3 = new QLabel(QStringLiteral("Sample Preview:"), this);
    Label3->setGeometry(scaled(8, 306, 300, 16));
    edtStampMaskPreview = new QLineEdit(this);
    edtStampMaskPreview->setGeometry(scaled(8, 324, 504, 24));
    edtStampMaskPreview->setReadOnly(true);
    edtStampMaskPreview->setFocusPolicy(Qt::NoFocus);
    QPalette look = edtStampMaskPreview->palette();
    look.setColor(QPalette::Base, look.color(QPalette::Button));
    look.setColor(QPalette::Text, Qt::blue);
    edtStampMaskPreview->setPalette(look);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setGeometry(scaled(338, 362, 84, 28));
    Button2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button2->setGeometry(scaled(428, 362, 84, 28));

    // No default button: Enter in the mask box must not add a tag or close the editor.
    for (QPushButton* button : {btnAddMAsk, Button1, Button2})
        button->setAutoDefault(false);

    connect(btnAddMAsk, &QPushButton::clicked, this, &Tstampmask::btnAddMAskClick);
    connect(lbStamps, &QListWidget::itemDoubleClicked, this, &Tstampmask::btnAddMAskClick);
    connect(edtStampMask, &QLineEdit::textChanged, this, &Tstampmask::edtStampMaskChange);
    connect(Button1, &QPushButton::clicked, this, &Tstampmask::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tstampmask::Button2Click);
}

std::optional<QString> Tstampmask::buildMask(const QString& field)
{
    m_field = field;
    m_handed.reset();
    exec();
    return m_handed;
}

void Tstampmask::FormActivate()
{
    m_handed.reset();
    {
        const QSignalBlocker block(edtStampMask);
        edtStampMask->setText(m_field);
    }
    edtStampMask->setCursorPosition(0);
    // Refreshed on every showing, also for the same text: the clock and the date formats
    // may have changed since the last one.
    edtStampMaskChange();
}

void Tstampmask::btnAddMAskClick()
{
    const QList<QListWidgetItem*> selected = lbStamps->selectedItems();
    if (selected.isEmpty())
        return;
    const QString item = selected.first()->text();
    const qsizetype bracket = item.indexOf(u'[');
    if (bracket < 0)
        return;
    // Replaces the selection, or goes in at the caret; the change refreshes the preview.
    edtStampMask->insert(item.sliced(bracket));
}

void Tstampmask::edtStampMaskChange()
{
    edtStampMaskPreview->setText(buildSamplePreview(edtStampMask->text()));
}

void Tstampmask::Button1Click()
{
    m_handed = edtStampMask->text();
    accept();
}

void Tstampmask::Button2Click()
{
    reject();
}

QString Tstampmask::buildSamplePreview(const QString& mask) const
{
    const platform::Clock* clock = m_ws.platform().clock;
    const StampAttributes& a = m_ws.attributes();
    const DateFormats formats{a.dateFormatDateTime, a.dateFormatOriginal, a.dateFormatCreated,
                              a.dateFormatOther};
    if (!clock)
        return ui::buildSamplePreview(mask, QDateTime::currentDateTime(), formats, {});
    return ui::buildSamplePreview(mask, clock->now(), formats,
                                  {clock->dateSeparator(), clock->timeSeparator()});
}

} // namespace tess::stamptext::ui
