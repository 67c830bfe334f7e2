#include "profiles/ui/ClampingSpinBox.h"

#include <QRegularExpression>

namespace tess::profiles::ui {

ClampingSpinBox::ClampingSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int ClampingSpinBox::settledValue(const QString& text, int minimum, int maximum)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    const QString trimmed = text.trimmed();
    if (!wholeNumber.match(trimmed).hasMatch())
        return minimum;
    bool ok = false;
    const qlonglong n = trimmed.toLongLong(&ok);
    if (!ok) // more digits than any integer holds: still a number, far beyond either end
        return trimmed.startsWith(u'-') ? minimum : maximum;
    if (n < minimum)
        return minimum;
    if (n > maximum)
        return maximum;
    return int(n);
}

QValidator::State ClampingSpinBox::validate(QString& input, int&) const
{
    // Every text may stand in the box while the user types; only a number in range that is
    // written the way the box writes it counts as finished.
    const int value = settledValue(input, minimum(), maximum());
    return input == textFromValue(value) ? QValidator::Acceptable : QValidator::Intermediate;
}

void ClampingSpinBox::fixup(QString& input) const
{
    input = textFromValue(settledValue(input, minimum(), maximum()));
}

int ClampingSpinBox::valueFromText(const QString& text) const
{
    return settledValue(text, minimum(), maximum());
}

} // namespace tess::profiles::ui
