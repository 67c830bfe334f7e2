#pragma once

#include <QSpinBox>

namespace tess::profiles::ui {

/// A spin box that lets the user type any text and settles it when the box loses the focus
/// (or when the dialog reads it): a number is clamped into the range, anything else (an empty
/// box too) becomes the range's minimum.
class ClampingSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit ClampingSpinBox(QWidget* parent = nullptr);

    /// The value \a text stands for in \a minimum..\a maximum.
    static int settledValue(const QString& text, int minimum, int maximum);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;
};

} // namespace tess::profiles::ui
