#pragma once

#include <QLineEdit>

namespace tess::stamptext::ui {

/// A one-line edit that keeps its selection and caret when the focus moves away, so that
/// a button or list elsewhere in the dialog can insert text where the user left off.
class MaskLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace tess::stamptext::ui
