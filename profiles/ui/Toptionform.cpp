#include "profiles/ui/Toptionform.h"

#include "profiles/ui/ClampingSpinBox.h"
#include "stamptext/DateFormats.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace tess::profiles::ui {

namespace {

// The dialog is laid out in pixels of a 120 dpi screen and scaled to the real one.
constexpr int ClientWidth = 624;
constexpr int ClientHeight = 394;
constexpr int PageLeft = 236;
constexpr int PageWidth = 380;
constexpr int PageHeight = 344;

constexpr int DefaultQuality = 95;
constexpr int DefaultBorder = 5;

const QColor PreviewText(0, 0, 128); // navy

const char* const DateGroups[4] = {"Field: EXIF Date Time", "Field: EXIF Original Date Time",
                                   "Field: EXIF Created Date Time", "Other Date Time Fields"};
const char* const KeepCaptions[4] = {
    "Keep Photo Effects on &Open", "Keep Photo Effects in &Batch Mode",
    "Keep Photo Adjustments on O&pen", "Keep Photo Adjustments in B&atch Mode"};

// The date format index that list \a i edits; works on a const and a mutable record.
template <typename Attributes> auto& dateFormatField(Attributes& a, int i)
{
    switch (i) {
    case 0:
        return a.dateFormatDateTime;
    case 1:
        return a.dateFormatOriginal;
    case 2:
        return a.dateFormatCreated;
    default:
        return a.dateFormatOther;
    }
}

} // namespace

Toptionform::Toptionform(Workspace& workspace, QWidget* parent)
    : platform::FixedDialog(QStringLiteral("Options"), ClientWidth, ClientHeight, parent),
      m_ws(workspace)
{
    setObjectName(QStringLiteral("Toptionform"));

    m_treeView1 = new QTreeWidget(this);
    m_treeView1->setObjectName(QStringLiteral("TreeView1"));
    m_treeView1->setGeometry(scaled(8, 8, 220, PageHeight));
    m_treeView1->setHeaderHidden(true);
    m_treeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    new QTreeWidgetItem(m_treeView1, {QStringLiteral("EXIF Date Time Options")});
    auto* generalNode = new QTreeWidgetItem(m_treeView1, {QStringLiteral("General Options")});
    new QTreeWidgetItem(generalNode, {QStringLiteral("Photos")});
    new QTreeWidgetItem(generalNode, {QStringLiteral("Text")});

    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(scaled(PageLeft, 8, PageWidth, PageHeight));
    m_pages->addWidget(buildDatePage());
    m_pages->addWidget(buildGeneralPage());
    m_pages->addWidget(buildPhotosPage());
    m_pages->addWidget(buildTextPage());

    m_btnOK = newButton(this, QStringLiteral("OK"), QStringLiteral("btnOK"));
    m_btnOK->move(scaled(456, 362, 0, 0).topLeft());
    m_btnOK->setDefault(true);
    m_btnCancel = newButton(this, QStringLiteral("Cancel"), QStringLiteral("btnCancel"));
    m_btnCancel->move(scaled(541, 362, 0, 0).topLeft());

    connect(m_treeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeView1Change(); });
    for (QComboBox* list : m_cbDate)
        connect(list, &QComboBox::currentIndexChanged, this, [this] { cbDateChange(); });
    connect(m_trackBar2, &QSlider::valueChanged, this, &Toptionform::TrackBar2Change);
    connect(m_btnQualityDefault, &QPushButton::clicked, this, &Toptionform::btnQualityDefaultClick);
    connect(m_btnBorderDefault, &QPushButton::clicked, this, &Toptionform::btnBorderDefaultClick);
    connect(m_btnUseCurrent, &QPushButton::clicked, this, &Toptionform::btnUseCurrentClick);
    connect(m_btnOK, &QPushButton::clicked, this, &Toptionform::btnOKClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &Toptionform::btnCancelClick);
}

Toptionform::~Toptionform() = default;

QWidget* Toptionform::newPage(const QString& heading)
{
    auto* page = new QWidget;
    auto* label = new QLabel(heading, page);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setGeometry(scaled(0, 0, PageWidth, 20));
    return page;
}

QWidget* Toptionform::buildDatePage()
{
    QWidget* page = newPage(QStringLiteral("Set the Date and Time Format for Date Fields."));
    for (int i = 0; i < 4; ++i) {
        auto* group = new QGroupBox(QString::fromLatin1(DateGroups[i]), page);
        group->setGeometry(scaled(0, 26 + i * 80, PageWidth, 76));
        auto* previewLabel = new QLabel(QStringLiteral("Preview:"), group);
        previewLabel->setGeometry(scaled(12, 21, 60, 22));
        m_preview[i] = new QLineEdit(group);
        m_preview[i]->setObjectName(QStringLiteral("edtPreview%1").arg(i + 1));
        m_preview[i]->setGeometry(scaled(76, 21, 292, 22));
        m_preview[i]->setReadOnly(true);
        m_preview[i]->setFocusPolicy(Qt::ClickFocus);
        QPalette palette = m_preview[i]->palette();
        palette.setColor(QPalette::Text, PreviewText);
        m_preview[i]->setPalette(palette);
        previewLabel->setBuddy(m_preview[i]);

        auto* formatLabel = new QLabel(QStringLiteral("Format:"), group);
        formatLabel->setGeometry(scaled(12, 47, 60, 22));
        m_cbDate[i] = new QComboBox(group);
        m_cbDate[i]->setObjectName(QStringLiteral("cbDate%1").arg(i + 1));
        m_cbDate[i]->setGeometry(scaled(76, 47, 292, 22));
        m_cbDate[i]->setEditable(false);
        m_cbDate[i]->addItems(stamptext::dateFormatCaptions());
        m_cbDate[i]->setMaxVisibleItems(stamptext::DateFormatCount);
        formatLabel->setBuddy(m_cbDate[i]);
    }
    return page;
}

QWidget* Toptionform::buildGeneralPage()
{
    QWidget* page = newPage(QStringLiteral("Set General Options"));
    auto* group = new QGroupBox(QStringLiteral("Settings Behavior"), page);
    group->setGeometry(scaled(0, 26, PageWidth, 140));
    for (int i = 0; i < 4; ++i) {
        m_keep[i] = new QCheckBox(QString::fromLatin1(KeepCaptions[i]), group);
        m_keep[i]->setObjectName(QStringLiteral("cbKeep%1").arg(i + 1));
        m_keep[i]->setGeometry(scaled(16, 26 + i * 26, 352, 22));
    }
    return page;
}

QWidget* Toptionform::buildPhotosPage()
{
    QWidget* page = newPage(QStringLiteral("Set Photo Options"));
    auto* group = new QGroupBox(QStringLiteral("JPEG Compression Settings"), page);
    group->setGeometry(scaled(0, 26, PageWidth, 212));

    m_qualityNumber = new QLineEdit(group);
    m_qualityNumber->setObjectName(QStringLiteral("edtQuality"));
    m_qualityNumber->setGeometry(scaled(168, 24, 44, 22));
    m_qualityNumber->setReadOnly(true);
    m_qualityNumber->setFocusPolicy(Qt::NoFocus);
    m_qualityNumber->setAlignment(Qt::AlignCenter);

    m_trackBar2 = new QSlider(Qt::Horizontal, group);
    m_trackBar2->setObjectName(QStringLiteral("TrackBar2"));
    m_trackBar2->setGeometry(scaled(12, 52, 356, 34));
    m_trackBar2->setRange(1, 100);
    m_trackBar2->setTickInterval(10);
    m_trackBar2->setTickPosition(QSlider::TicksBelow);

    const auto endLabel = [&](const QString& text, int x, int y, Qt::Alignment alignment) {
        auto* label = new QLabel(text, group);
        label->setGeometry(scaled(x, y, 160, 18));
        label->setAlignment(alignment | Qt::AlignVCenter);
    };
    endLabel(QStringLiteral("Lower quality"), 12, 92, Qt::AlignLeft);
    endLabel(QStringLiteral("Smaller file size"), 12, 110, Qt::AlignLeft);
    endLabel(QStringLiteral("Higher quality"), 208, 92, Qt::AlignRight);
    endLabel(QStringLiteral("Larger file size"), 208, 110, Qt::AlignRight);

    m_btnQualityDefault =
        newButton(group, QStringLiteral("D&efault"), QStringLiteral("btnQualityDefault"));
    m_btnQualityDefault->setGeometry(scaled(268, 136, 100, 25));

    // Two lines: the caption is wider than the page.
    m_cbKeepOwnCompression =
        new QCheckBox(QStringLiteral("Keep the photo's own compression\noutside the stamp"), group);
    m_cbKeepOwnCompression->setObjectName(QStringLiteral("cbKeepOwnCompression"));
    m_cbKeepOwnCompression->setGeometry(scaled(12, 164, 356, 40));
    m_cbKeepOwnCompression->setToolTip(QStringLiteral(
        "Only the blocks under the stamp are compressed again: the rest of the photo stays bit "
        "for bit as the camera wrote it.\nThe JPEG quality then applies only to the stamp's "
        "blocks.\nA photo with an effect, brightness or contrast, flipped or mirrored, is saved "
        "the normal way."));
    return page;
}

QWidget* Toptionform::buildTextPage()
{
    QWidget* page = newPage(QStringLiteral("Set Text Stamp Options"));
    const auto label = [&](QWidget* group, const QString& text, int y) {
        auto* l = new QLabel(text, group);
        l->setGeometry(scaled(12, y, 100, 22));
        return l;
    };
    // "Caption: [box] Pixels [button]" on one row of a group.
    const auto pixelsRow = [&](QWidget* group, const QString& caption, int y, const QString& name,
                               int minimum, int maximum, QPushButton** button,
                               const QString& buttonText, const QString& buttonName) {
        auto* box = new ClampingSpinBox(group);
        box->setObjectName(name);
        box->setRange(minimum, maximum);
        // Wide enough for the largest number beside the arrows, so none is shown cut off.
        QRect boxArea = scaled(116, y, 90, 22);
        boxArea.setWidth(qMax(boxArea.width(), box->sizeHint().width()));
        box->setGeometry(boxArea);
        label(group, caption, y)->setBuddy(box);
        auto* pixels = new QLabel(QStringLiteral("Pixels"), group);
        pixels->setGeometry(boxArea.right() + scaled(6), boxArea.top(), scaled(50),
                            boxArea.height());
        *button = newButton(group, buttonText, buttonName);
        (*button)->setGeometry(scaled(268, y - 2, 100, 25));
        return box;
    };

    auto* border = new QGroupBox(QStringLiteral("Border Width for Corner Location of Stamp"), page);
    border->setGeometry(scaled(0, 26, PageWidth, 70));
    m_seBorder = pixelsRow(border, QStringLiteral("Width:"), 29, QStringLiteral("seBorder"), 0, 100,
                           &m_btnBorderDefault, QStringLiteral("&Default"),
                           QStringLiteral("btnBorderDefault"));

    auto* fontSize = new QGroupBox(QStringLiteral("Font Size"), page);
    fontSize->setGeometry(scaled(0, 104, PageWidth, 100));
    m_cbProportional = new QCheckBox(fontSize);
    m_cbProportional->setObjectName(QStringLiteral("cbProportional"));
    m_cbProportional->setGeometry(scaled(116, 29, 22, 22));
    label(fontSize, QStringLiteral("Proportional:"), 29)->setBuddy(m_cbProportional);
    m_seHeight = pixelsRow(fontSize, QStringLiteral("Photo Height:"), 62,
                           QStringLiteral("seHeight"), 1, 999999, &m_btnUseCurrent,
                           QStringLiteral("&Use Current"), QStringLiteral("btnUseCurrent"));
    return page;
}

QPushButton* Toptionform::newButton(QWidget* parent, const QString& text, const QString& name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->resize(scaled(0, 0, 75, 25).size());
    return button;
}

void Toptionform::prepareToShow()
{
    m_btnUseCurrent->setEnabled(!m_ws.stampedPhoto().isNull());
}

void Toptionform::FormActivate()
{
    const StampAttributes& a = m_ws.attributes();
    for (int i = 0; i < 4; ++i)
        m_keep[i]->setChecked(a.keeps(i + 1));
    m_cbProportional->setChecked(a.proportionalSize);
    m_seHeight->setValue(a.referenceHeight);
    for (int i = 0; i < 4; ++i)
        m_cbDate[i]->setCurrentIndex(dateFormatField(a, i));
    m_seBorder->setValue(a.borderWidth);
    m_trackBar2->setValue(a.jpegQuality);
    TrackBar2Change(m_trackBar2->value());
    m_cbKeepOwnCompression->setChecked(m_ws.saveOptions().keepOwnCompression);
    cbDateChange();

    m_treeView1->setFocus();
    m_treeView1->expandAll();
    m_treeView1->setCurrentItem(m_treeView1->topLevelItem(0));
    TreeView1Change();
}

int Toptionform::shownPage() const
{
    return m_pages->currentIndex();
}

void Toptionform::TreeView1Change()
{
    int index = 0;
    for (QTreeWidgetItemIterator it(m_treeView1); *it; ++it, ++index) {
        if (*it == m_treeView1->currentItem()) {
            m_pages->setCurrentIndex(index);
            return;
        }
    }
}

void Toptionform::cbDateChange()
{
    // One reading of the clock, so the four previews show the same moment.
    const platform::Clock& clock = *m_ws.platform().clock;
    const QDateTime now = clock.now();
    const stamptext::Separators separators{clock.dateSeparator(), clock.timeSeparator()};
    for (int i = 0; i < 4; ++i)
        m_preview[i]->setText(
            stamptext::formatFileDate(now, m_cbDate[i]->currentIndex(), separators));
}

void Toptionform::TrackBar2Change(int position)
{
    m_qualityNumber->setText(QString::number(position));
}

void Toptionform::btnQualityDefaultClick()
{
    m_trackBar2->setValue(DefaultQuality);
}

void Toptionform::btnBorderDefaultClick()
{
    m_seBorder->setValue(DefaultBorder);
}

void Toptionform::btnUseCurrentClick()
{
    m_seHeight->setValue(m_ws.stampedPhoto().height());
}

void Toptionform::btnOKClick()
{
    // OK by the keyboard leaves the focus in a box: settle what was typed there first.
    m_seBorder->interpretText();
    m_seHeight->interpretText();

    StampAttributes& a = m_ws.mutableAttributes();
    QString flags;
    for (QCheckBox* box : m_keep)
        flags += box->isChecked() ? u'1' : u'0';
    a.keepFlags = flags;
    a.borderWidth = m_seBorder->value();
    a.jpegQuality = m_trackBar2->value();
    a.proportionalSize = m_cbProportional->isChecked();
    a.referenceHeight = m_seHeight->value();
    for (int i = 0; i < 4; ++i) {
        // A stored index outside the table selects no item; it is kept rather than
        // replaced by "no item".
        if (m_cbDate[i]->currentIndex() >= 0)
            dateFormatField(a, i) = m_cbDate[i]->currentIndex();
    }
    profiles::SaveOptions saving = m_ws.saveOptions();
    saving.keepOwnCompression = m_cbKeepOwnCompression->isChecked();
    m_ws.setSaveOptions(saving);
    m_ws.setDialogCancelled(false);
    accept();
    m_ws.notifyChanged();
}

void Toptionform::btnCancelClick()
{
    m_ws.setDialogCancelled(true);
    reject();
}

} // namespace tess::profiles::ui
