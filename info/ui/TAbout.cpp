#include "info/ui/TAbout.h"

#include "info/AboutTexts.h"
#include "info/ui/ProgramIcon.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace tess::info::ui {

TAbout::TAbout(const platform::Platform& platform, QWidget* parent,
               std::optional<QString> versionText)
    : platform::FixedDialog(QStringLiteral("About"), 451, 346, parent), m_platform(platform),
      m_versionText(std::move(versionText))
{
    setObjectName(QStringLiteral("About"));

    Image1 = addLabel(QStringLiteral("Image1"), QString(), scaled(16, 16, 40, 40));
    Image1->setPixmap(programIcon().pixmap(32, 32));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("Orvane"), scaled(72, 16, 360, 18));
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label8 =
        addLabel(QStringLiteral("Label8"), QStringLiteral("Tessarine"), scaled(72, 34, 360, 32));
    QFont large = bold;
    large.setPointSize(font().pointSize() * 2);
    Label8->setFont(large);
    Label4 = addLabel(QStringLiteral("Label4"), QStringLiteral("Version 0.2 build 50"),
                      scaled(72, 72, 360, 18));
    Label9 = addLabel(QStringLiteral("Label9"), QStringLiteral("Orvane"), scaled(72, 104, 360, 18));
    Label6 = addLabel(QStringLiteral("Label6"), QStringLiteral("www.orvane.example"),
                      scaled(72, 124, 360, 18));
    QFont link = font();
    link.setUnderline(true);
    Label6->setFont(link);
    QPalette blue = Label6->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label6->setPalette(blue);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->installEventFilter(this);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(scaled(16, 160, 419, 4));

    Label5 = addLabel(QStringLiteral("Label5"), QStringLiteral("os"), scaled(16, 180, 419, 18));
    Label3 = addLabel(QStringLiteral("Label3"), QStringLiteral("Memory Available to Windows:"),
                      scaled(16, 210, 240, 18));
    PhysMem = addLabel(QStringLiteral("PhysMem"), QStringLiteral("0"), scaled(256, 210, 179, 18));
    PhysMem->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(scaled(183, 302, 85, 28));
    OKButton->setDefault(true);
    // Esc leaves the way OK does: either way the dialog only closes.
    setCancelButton(OKButton);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

QLabel* TAbout::addLabel(const QString& name, const QString& text, QRect geometry)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QString TAbout::homePage()
{
    return QStringLiteral("https://www.orvane.example/");
}

void TAbout::FormCreate()
{
    const AboutTexts texts = aboutTexts(m_versionText, m_platform.systemInfo, QLocale());
    Label5->setText(texts.os);
    PhysMem->setText(texts.memory);
    Label3->setText(texts.memoryLabel);
    Label4->setText(texts.version);
}

void TAbout::Label6Click()
{
    if (m_platform.shell && m_platform.prompts)
        platform::openUrlOrTell(*m_platform.shell, *m_platform.prompts, homePage());
}

bool TAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label6 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label6Click();
        return true;
    }
    return platform::FixedDialog::eventFilter(watched, event);
}

} // namespace tess::info::ui
