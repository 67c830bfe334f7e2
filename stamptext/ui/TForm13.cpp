#include "stamptext/ui/TForm13.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tess::stamptext::ui {

TForm13::TForm13(QWidget* parent)
    : platform::FixedDialog(QStringLiteral("Edit Stamp Mask Text"), 420, 100, parent)
{
    setObjectName(QStringLiteral("Form13"));

    Label1 = new QLabel(QStringLiteral("Stamp Mask:"), this);
    Label1->setGeometry(scaled(8, 10, 300, 16));
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(scaled(8, 28, 404, 24));
    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setGeometry(scaled(236, 64, 84, 28));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button2->setGeometry(scaled(328, 64, 84, 28));
    // Esc must not keep the edit the way the close box does: it is Cancel.
    setCancelButton(Button2);

    connect(Button1, &QPushButton::clicked, this, &TForm13::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm13::Button2Click);
}

QString TForm13::editText(const QString& text)
{
    Edit1->setText(text);
    exec();
    const QString edited = Edit1->text();
    Edit1->clear();
    return edited;
}

void TForm13::FormActivate()
{
    Edit1->setFocus(Qt::ActiveWindowFocusReason);
}

void TForm13::Button1Click()
{
    accept();
}

void TForm13::Button2Click()
{
    Edit1->clear();
    reject();
}

} // namespace tess::stamptext::ui
