#pragma once

#include "platform/qt/FixedDialog.h"

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tess {
class Workspace;
}

namespace tess::stamptext::ui {

class MaskLineEdit;

/// The items of the mask value list: a caption followed by its tag, in the list's order.
const QStringList& stampMaskItems();

/// "Stamp Mask Editor": builds a stamp mask from the list of tags, with a live preview of
/// the mask expanded with sample values. On OK the mask goes to the stamp mask field.
class Tstampmask : public platform::FixedDialog
{
    Q_OBJECT
public:
    explicit Tstampmask(Workspace& workspace, QWidget* parent = nullptr);

    /// Shows the editor modally on the stamp mask field's \a field text; the built mask
    /// after OK, nothing after Cancel or the close box.
    std::optional<QString> buildMask(const QString& field);

    /// The text the next showing starts from (the stamp mask field's text).
    void setStampMaskField(const QString& field) { m_field = field; }
    /// The mask handed over by OK since the last showing.
    const std::optional<QString>& handedMask() const { return m_handed; }

    void FormActivate() override;
    /// Add, by button or by double-click: the selected item's tag replaces the mask's
    /// selection or goes in at its caret.
    void btnAddMAskClick();
    void edtStampMaskChange();
    void Button1Click();
    void Button2Click();
    /// The mask with the sample values, at the workspace clock's current time and with the
    /// current date formats.
    QString buildSamplePreview(const QString& mask) const;

    QLabel* Label1;
    QListWidget* lbStamps;
    QPushButton* btnAddMAsk;
    QLabel* Label2;
    MaskLineEdit* edtStampMask;
    QLabel* Label3;
    QLineEdit* edtStampMaskPreview;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    Workspace& m_ws;
    QString m_field;
    std::optional<QString> m_handed;
};

} // namespace tess::stamptext::ui
