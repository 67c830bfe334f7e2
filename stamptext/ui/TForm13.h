#pragma once

#include "platform/qt/FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tess::stamptext::ui {

/// "Edit Stamp Mask Text": one line to change the mask of a stamp text list entry. OK and
/// the close box keep what the user typed; Cancel (or Esc) empties the box, and an empty
/// box changes nothing.
class TForm13 : public platform::FixedDialog
{
    Q_OBJECT
public:
    explicit TForm13(QWidget* parent = nullptr);

    /// Puts \a text into Edit1, shows the dialog modally and returns what Edit1 holds
    /// afterwards (empty after Cancel); Edit1 is emptied for the next use.
    QString editText(const QString& text);

    /// The focus goes to Edit1.
    void FormActivate() override;
    void Button1Click();
    void Button2Click();

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
};

} // namespace tess::stamptext::ui
