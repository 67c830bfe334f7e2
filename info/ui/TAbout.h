#pragma once

#include "info/TrsFileVersion.h"
#include "platform/Platform.h"
#include "platform/qt/FixedDialog.h"

#include <optional>

class QFrame;
class QLabel;
class QPushButton;

namespace tess::info::ui {

/// "About": the program's name and version, the maker's home page, the operating system and
/// the physical memory. The values are worked out once, when the dialog is created at
/// start-up; showing it again does not refresh them.
class TAbout : public platform::FixedDialog
{
    Q_OBJECT
public:
    /// \a versionText is the program's version ("1.0.0"); nothing when it has none.
    explicit TAbout(const platform::Platform& platform, QWidget* parent = nullptr,
                    std::optional<QString> versionText = TrsFileVersion::compiledIn());

    /// Fills the version, the operating system and the memory.
    void FormCreate();
    /// The nothing each showing does: the values are those of start-up.
    void FormActivate() override {}
    /// The web address: opens the maker's home page.
    void Label6Click();

    /// The page the web address opens.
    static QString homePage();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label8;
    QLabel* Label4;
    QLabel* Label9;
    QLabel* Label6;
    QFrame* Bevel1;
    QLabel* Label5;
    QLabel* Label3;
    QLabel* PhysMem;
    QPushButton* OKButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLabel(const QString& name, const QString& text, QRect geometry);

    platform::Platform m_platform;
    std::optional<QString> m_versionText;
};

} // namespace tess::info::ui
