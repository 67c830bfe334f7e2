#pragma once

#include "app/attributes/StampAttributes.h"
#include "platform/qt/FixedDialog.h"

class QLabel;
class QPushButton;
class QSlider;

namespace tess {
class Workspace;
}

namespace tess::adjust::ui {

/// A dialog that sets one StampAttributes level with a track bar: the value label above
/// the bar, the range's ends below it and an OK button that writes the position. There is
/// no Cancel: the close box leaves without writing.
class LevelDialog : public platform::FixedDialog
{
    Q_OBJECT
public:
    struct Settings
    {
        QString caption;
        int StampAttributes::*level;
        int maximum;
        int tickInterval;
        QString lowCaption;
        QString highCaption;
    };
    LevelDialog(Workspace& workspace, const Settings& settings, QWidget* parent = nullptr);

    /// Track bar := the stored level (limited to the bar's range), Label3 := its text.
    void FormActivate() override;
    void TrackBar1Change();
    /// OK: the position becomes the level.
    void Button1Click();

    QSlider* TrackBar1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Button1;

protected:
    /// The text of Label3 for \a position.
    virtual QString positionText(int position) const { return QString::number(position); }

private:
    Workspace& m_ws;
    int StampAttributes::*m_level;
};

} // namespace tess::adjust::ui
