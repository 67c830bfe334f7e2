#include "platform/qt/FontDialog.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tess::platform {

namespace {

constexpr int ClientWidth = 428;
constexpr int ClientHeight = 330;

QListWidget* newList(QWidget* parent, QRect geometry)
{
    auto* list = new QListWidget(parent);
    list->setGeometry(geometry);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

/// Selects the row of \a list whose text is \a text, without reporting it.
void selectRow(QListWidget* list, const QString& text)
{
    const QSignalBlocker blocker(list);
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchFixedString);
    list->setCurrentItem(found.isEmpty() ? nullptr : found.constFirst());
    if (!found.isEmpty())
        list->scrollToItem(found.constFirst(), QAbstractItemView::PositionAtTop);
}

} // namespace

FontDialog::FontDialog(const FontChoice& current, QWidget* parent)
    : FixedDialog(QStringLiteral("Font"), ClientWidth, ClientHeight, parent), m_current(current)
{
    setObjectName(QStringLiteral("FontDialog1"));
    const auto column = [this](const QString& caption, int x, int width, QLineEdit*& edit,
                               QListWidget*& list) {
        auto* label = new QLabel(caption, this);
        label->setGeometry(scaled(x, 10, width, 18));
        edit = new QLineEdit(this);
        edit->setGeometry(scaled(x, 28, width, 24));
        list = newList(this, scaled(x, 54, width, 148));
        label->setBuddy(edit);
    };
    column(QStringLiteral("&Font:"), 12, 200, m_faceEdit, m_faceList);
    column(QStringLiteral("Font st&yle:"), 222, 120, m_styleEdit, m_styleList);
    column(QStringLiteral("&Size:"), 352, 64, m_sizeEdit, m_sizeList);
    m_styleEdit->setReadOnly(true);
    m_styleEdit->setFocusPolicy(Qt::NoFocus);
    m_sizeEdit->setValidator(new QIntValidator(1, MaximumSize, m_sizeEdit));

    m_faceList->addItems(scalableFaces());
    m_styleList->addItems(styleNames());
    for (int size : QFontDatabase::standardSizes())
        m_sizeList->addItem(QString::number(size));

    auto* sampleBox = new QGroupBox(QStringLiteral("Sample"), this);
    sampleBox->setGeometry(scaled(12, 210, 404, 74));
    m_sample = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
    m_sample->setGeometry(scaled(8, 20, 388, 48));
    m_sample->setAlignment(Qt::AlignCenter);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(scaled(250, 294, 80, 28));
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(scaled(336, 294, 80, 28));
    setCancelButton(cancel);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(m_faceEdit, &QLineEdit::textEdited, this, &FontDialog::faceTyped);
    connect(m_faceList, &QListWidget::currentTextChanged, this, [this](const QString& face) {
        if (!face.isEmpty())
            m_faceEdit->setText(face);
        refreshChoice();
    });
    connect(m_styleList, &QListWidget::currentTextChanged, this, [this](const QString& style) {
        m_styleEdit->setText(style);
        refreshChoice();
    });
    connect(m_sizeEdit, &QLineEdit::textEdited, this, [this](const QString& size) {
        selectRow(m_sizeList, size);
        refreshChoice();
    });
    connect(m_sizeList, &QListWidget::currentTextChanged, this, [this](const QString& size) {
        if (!size.isEmpty())
            m_sizeEdit->setText(size);
        refreshChoice();
    });
    FormActivate();
}

QStringList FontDialog::styleNames()
{
    return {QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"),
            QStringLiteral("Bold Italic")};
}

QStringList FontDialog::scalableFaces()
{
    QStringList faces;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family) && QFontDatabase::isSmoothlyScalable(family))
            faces << family;
    }
    return faces;
}

void FontDialog::FormActivate()
{
    // A face that is not installed starts as the installed face that stands in for it.
    QString face = listedFace(m_current.face);
    if (face.isEmpty())
        face = listedFace(QFontInfo(QFont(m_current.face)).family());
    m_faceEdit->setText(face.isEmpty() ? m_current.face : face);
    selectRow(m_faceList, face);
    m_styleList->setCurrentRow((m_current.bold ? 2 : 0) + (m_current.italic ? 1 : 0));
    m_sizeEdit->setText(QString::number(m_current.pointSize));
    selectRow(m_sizeList, m_sizeEdit->text());
    refreshChoice();
    m_faceEdit->setFocus();
    m_faceEdit->selectAll();
}

QString FontDialog::listedFace(const QString& text) const
{
    const QList<QListWidgetItem*> found = m_faceList->findItems(text, Qt::MatchFixedString);
    return found.isEmpty() ? QString() : found.constFirst()->text();
}

void FontDialog::faceTyped(const QString& text)
{
    // The list follows what is typed: the first face that starts with it.
    const QList<QListWidgetItem*> found = m_faceList->findItems(text, Qt::MatchStartsWith);
    if (!text.isEmpty() && !found.isEmpty()) {
        const QSignalBlocker blocker(m_faceList);
        m_faceList->setCurrentItem(found.constFirst());
        m_faceList->scrollToItem(found.constFirst(), QAbstractItemView::PositionAtTop);
    }
    refreshChoice();
}

FontChoice FontDialog::choice() const
{
    const int style = qMax(0, m_styleList->currentRow());
    return FontChoice{listedFace(m_faceEdit->text()), m_sizeEdit->text().toInt(), style >= 2,
                      style % 2 == 1};
}

void FontDialog::refreshChoice()
{
    const FontChoice chosen = choice();
    const bool sizeValid = chosen.pointSize >= 1 && chosen.pointSize <= MaximumSize;
    m_ok->setEnabled(!chosen.face.isEmpty() && sizeValid);
    if (chosen.face.isEmpty() || !sizeValid) {
        m_sample->setFont(font());
        return;
    }
    QFont sample(chosen.face);
    sample.setPointSize(chosen.pointSize);
    sample.setBold(chosen.bold);
    sample.setItalic(chosen.italic);
    m_sample->setFont(sample);
}

} // namespace tess::platform
