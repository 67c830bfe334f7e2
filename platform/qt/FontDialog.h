#pragma once

#include "platform/Dialogs.h"
#include "platform/qt/FixedDialog.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tess::platform {

/// The font dialog: a face among the installed smoothly scalable fonts, one of the four
/// styles a stamp keeps (regular, italic, bold, bold italic) and a size in points. There is
/// no effects group: underline, strike-out and colour are not part of a stamp's font. OK is
/// enabled only while the face names an installed font and the size is a whole number of
/// points in range.
class FontDialog : public FixedDialog
{
    Q_OBJECT
public:
    static constexpr int MaximumSize = 1638;

    explicit FontDialog(const FontChoice& current, QWidget* parent = nullptr);

    /// The choice as the controls show it now.
    FontChoice choice() const;

    /// The four style names in list order: regular, italic, bold, bold italic.
    static QStringList styleNames();
    /// The faces offered: installed, not private, smoothly scalable.
    static QStringList scalableFaces();

    void FormActivate() override;

    QLineEdit* faceEdit() const { return m_faceEdit; }
    QListWidget* faceList() const { return m_faceList; }
    QListWidget* styleList() const { return m_styleList; }
    QLineEdit* sizeEdit() const { return m_sizeEdit; }
    QPushButton* okButton() const { return m_ok; }

private:
    void faceTyped(const QString& text);
    void refreshChoice();
    /// The listed face \a text names (case aside), or empty.
    QString listedFace(const QString& text) const;

    FontChoice m_current;
    QLineEdit* m_faceEdit = nullptr;
    QListWidget* m_faceList = nullptr;
    QLineEdit* m_styleEdit = nullptr;
    QListWidget* m_styleList = nullptr;
    QLineEdit* m_sizeEdit = nullptr;
    QListWidget* m_sizeList = nullptr;
    QLabel* m_sample = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace tess::platform
