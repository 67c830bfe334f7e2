#pragma once

#include "app/attributes/StampAttributes.h"
#include "platform/Platform.h"
#include "profiles/SaveOptions.h"
#include "stamptext/PhotoValues.h"

#include <QImage>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

namespace tess {

/// The hand-managed check marks of the Opacity menu.
enum class OpacityItem
{
    P20,
    P40,
    P60,
    P80,
    P100,
    Custom
};
/// The hand-managed check marks of the Effects menu (sepia with one of its levels).
enum class EffectItem
{
    None,
    Greyscale,
    Flaxen,
    Negative,
    Sepia20,
    Sepia40,
    Sepia60,
    Sepia80,
    SepiaCustom
};

/// The opacity a preset stands for (51, 102, 153, 204, 255); -1 for Custom.
int opacityOfItem(OpacityItem item);
/// The effect a menu mark stands for.
PhotoEffect effectOfItem(EffectItem item);
/// The sepia sub-item that shows \a level: 20, 40, 60, 80 or Custom.
EffectItem sepiaItemForLevel(int level);

/// The windows the main window opens from its commands. The window provides the real
/// dialogs; tests provide scripted ones. Each dialog reads and writes the workspace itself.
class WorkspaceWindows
{
public:
    virtual ~WorkspaceWindows() = default;
    virtual void showOptions() = 0;
    virtual void showBrightnessContrast() = 0;
    virtual void showCustomOpacity() = 0;
    virtual void showSepiaLevel() = 0;
    /// The stamp mask editor, starting with \a mask; the built mask on OK.
    virtual std::optional<QString> buildStampMask(const QString& mask) = 0;
    /// The Edit Stamp Mask Text dialog with \a text; what its box holds afterwards
    /// (empty after Cancel).
    virtual QString editStampMask(const QString& text) = 0;
    /// The Full Screen Preview window, not modal.
    virtual void showFullScreenPreview() {}
    /// The Print Preview window, modal.
    virtual void showPrintPreview() {}
    /// The Batch Stamp dialog, modal.
    virtual void showBatchStamp() {}
    /// The About box, modal.
    virtual void showAbout() {}
};

/// A position track bar's state; the workspace treats a change only when the position
/// really changes.
struct TrackBar
{
    int position = 0;
    int maximum = 10;
};

/// The main window's state and commands, without any widget. The window shows this model
/// and forwards the user's actions to the commands, which are named after the window's
/// handlers.
class Workspace : public QObject
{
    Q_OBJECT
public:
    explicit Workspace(platform::Platform platform, QObject* parent = nullptr);
    ~Workspace() override;

    void setWindows(WorkspaceWindows* windows) { m_windows = windows; }
    platform::Platform& platform() { return m_platform; }

    // --- Start-up and exit ---------------------------------------------------------------
    /// The creation handler: defaults, data folder, default profile.
    void formCreate();
    /// The close handler; true when the window may close now.
    bool formClose();

    // --- State ----------------------------------------------------------------------------
    const StampAttributes& attributes() const { return m_attributes; }
    /// Direct access for dialogs that write settings on OK; call changed() afterwards.
    StampAttributes& mutableAttributes() { return m_attributes; }
    int outlineMark() const { return m_outlineMark; }
    OpacityItem opacityItem() const { return m_opacityItem; }
    EffectItem effectItem() const { return m_effectItem; }
    /// The pressed anchor button's position, or empty when none is pressed.
    QString pressedAnchor() const { return m_pressedAnchor; }
    TrackBar horizontalTrackBar() const { return {m_attributes.customX, m_attributes.customXMax}; }
    TrackBar verticalTrackBar() const { return {m_attributes.customY, m_attributes.customYMax}; }

    const QImage& basePhoto() const { return m_base; }
    /// The adjusted photo (made whole on request: renders keep only where it differs from the
    /// stamped photo).
    QImage adjustedPhoto() const;
    QSize photoSize() const { return m_adjusted.size(); }
    const QImage& stampedPhoto() const { return m_stamped; }
    const QImage& previewCopy() const { return m_stamped; }

    const QStringList& textPreview() const { return m_textPreview; }
    const QString& stampMaskField() const { return m_stampMaskField; }
    const QStringList& stampMaskChoices() const { return m_stampMaskChoices; }
    int selectedEntry() const { return m_selected; }
    const std::optional<stamptext::PhotoValueTable>& photoValues() const { return m_values; }

    QString photoFileName() const { return m_photoFileName; }
    QString sourceFileName() const { return m_sourceFileName; }
    bool photoChanged() const { return m_photoChanged; }
    bool startingUp() const { return m_startingUp; }
    bool closeConfirmed() const { return m_closeConfirmed; }
    bool dialogCancelled() const { return m_dialogCancelled; }
    void setDialogCancelled(bool cancelled) { m_dialogCancelled = cancelled; }
    bool photoControlsEnabled() const { return m_photoControlsEnabled; }
    QString title() const { return m_title; }
    QString attributeCaption() const { return m_attributeCaption; }
    /// The default profile's path in the data folder.
    QString defaultProfilePath() const;
    /// The choices kept outside the profile, read at start and written at exit.
    const profiles::SaveOptions& saveOptions() const { return m_saveOptions; }
    void setSaveOptions(const profiles::SaveOptions& options) { m_saveOptions = options; }
    /// Their file in the data folder, beside the default profile.
    QString saveOptionsPath() const;

    // --- The photo workflow -------------------------------------------------------------
    void open1Click();
    void dropFiles(const QStringList& paths);
    void save1Click();
    void saveAs1Click();
    void close1Click();
    void flip1Click();
    void mirror2Click();
    void options1Click();
    void fullScreenPreview1Click();
    void print1Click();
    void batchStamp1Click();
    void about1Click();
    void help2Click();
    void orvaneHomePage1Click();
    void checkForUpdates1Click();

    // --- Stamp editing ------------------------------------------------------------------
    void font1Click();
    void extColor1Click();
    void color1Click();
    void setOutlineWidth(int n);
    void opacityPresetClick(OpacityItem preset);
    void custom1Click();
    void plainEffectClick(EffectItem effect);
    void sepiaPresetClick(int level);
    void custom2Click();
    void brightness1Click();
    /// An anchor button was clicked; \a pressed is its state after the click.
    void anchorClick(const QString& position, bool pressed);
    void setHorizontalPosition(int position);
    void setVerticalPosition(int position);
    void setStampMaskField(const QString& text);
    void btnAddFiletoGridClick();
    void speedButton2Click();
    void speedButton3Click();
    void speedButton4Click();
    void speedButton5Click();
    void speedButton6Click();
    void setSelectedEntry(int index);
    void checkListBox1ClickCheck(int index, bool ticked);
    /// The user edited the text preview (after each key).
    void memo1KeyUp(const QStringList& lines);

    // --- Rendering ----------------------------------------------------------------------
    void renderFromMasks();
    void renderFromTextPreview();
    void rerenderStamp();
    void selectPositionButton(const QString& position);

    // --- Attribute profiles ---------------------------------------------------------------
    void newStampAttributesClick();
    void importAttributeSetClick();
    void exportAttributeSetClick();
    void reloadDefaultAttributesClick();
    bool loadAttributeProfile(const QString& path, bool withWindowPosition);
    bool loadDefaultProfile();
    void saveDefaultProfile();
    void resetStampAttributes(bool clearPhoto);
    /// Rebuilds the photo value table of \a path (the stamp mask field is emptied).
    void readPhotoValues(const QString& path);

    // --- Helpers the window and the dialogs use -------------------------------------------
    void setWindowPosition(int left, int top);
    void markEffect(EffectItem item);
    void markOpacity(OpacityItem item);
    /// Applies the track bar rules to a new maximum (negative ignored, position pulled down).
    void setHorizontalMaximum(int maximum);
    void setVerticalMaximum(int maximum);
    void setFont(const platform::FontChoice& font);
    /// Runs \a command; an error that escapes it is shown in an error box and the state
    /// stays as the command left it.
    void guarded(const std::function<void()>& command);
    /// Tells the views that the state changed.
    void notifyChanged() { emit changed(); }

signals:
    /// Any state but the pictures changed.
    void changed();
    /// The stamped photo changed.
    void picturesChanged();
    /// The window should centre itself on the screen (no default profile, or a bad one).
    void centreWindowRequested();
    /// The window should move to the attributes' window position.
    void windowPositionChanged();
    /// The Full Screen Preview's picture should move to its top-left corner.
    void previewScrollReset();

private:
    friend class WorkspaceProfileTarget;
    /// The attribute caption naming the default profile.
    static QString defaultAttributeCaption();
    bool confirmLoss();
    void trackBarChanged();
    void setTrackBarPosition(int& position, int maximum, int value);
    void enablePhotoControls();
    void resetPhotoControls();
    void clearPhoto();
    bool savePreviewTo(const QString& destination);
    /// The photo as loaded, when the stamped photo differs from it by the stamp alone and the
    /// user keeps the photo's own compression; null otherwise (the normal save).
    QImage unstampedForLosslessSave() const;
    /// False when the photo could not be rendered (the picture stays as it was).
    bool render(const QStringList& lines, bool fromMasks);
    void applyOpacityMark();
    void recoverFromProfileFailure();
    std::pair<double, double> relativeTrackBarPositions() const;
    void chooseColour(quint32& colour);
    void setAdjusted(const QImage& picture);
    void showWindow(void (WorkspaceWindows::*show)());
    void rescaleTrackBars(double rx, double ry);
    /// Runs \a body with the text-preview renders it asks for held back and done once at
    /// its end; a mask render on the way makes them unnecessary.
    void batchRenders(const std::function<void()>& body);
    enum class PhotoSource
    {
        OpenDialog,
        Drop
    };
    /// The steps Open and drop share once the path is known.
    void openPhoto(const QString& path, PhotoSource source, const QString& p, double rx, double ry);
    /// The end of every command that changes the stamp text list.
    void stampListChanged();

    platform::Platform m_platform;
    WorkspaceWindows* m_windows = nullptr;
    StampAttributes m_attributes;
    int m_outlineMark = -1;
    OpacityItem m_opacityItem = OpacityItem::P100;
    EffectItem m_effectItem = EffectItem::None;
    QString m_pressedAnchor;

    QImage m_base;
    bool m_baseAsLoaded = false; ///< m_base is the source as loaded (not flipped or mirrored)
    profiles::SaveOptions m_saveOptions;
    QImage m_adjusted; ///< the adjusted photo, or the stamped one when m_adjustedPatch is set
    QImage m_adjustedPatch;
    QPoint m_adjustedPatchAt;
    QImage m_stamped;
    QImage m_spare; ///< an earlier stamped picture, for a render to write over

    QStringList m_textPreview;
    QString m_stampMaskField;
    QStringList m_stampMaskChoices;
    int m_selected = -1;
    std::optional<stamptext::PhotoValueTable> m_values;

    QString m_photoFileName;
    QString m_sourceFileName;
    bool m_photoChanged = false;
    bool m_startingUp = false;
    bool m_closeConfirmed = false;
    bool m_dialogCancelled = false;
    bool m_photoControlsEnabled = false;
    int m_renderBatchDepth = 0;
    bool m_textRenderPending = false;
    QString m_title = QStringLiteral("Orvane Tessarine");
    QString m_attributeCaption = defaultAttributeCaption();
};

} // namespace tess
