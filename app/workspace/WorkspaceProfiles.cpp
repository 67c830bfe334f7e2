// The workspace's side of attribute profiles: reading a profile into the window's state
// with the side effects its controls have, and the four profile commands.

#include "app/workspace/Workspace.h"
#include "profiles/AttributeProfile.h"

#include <QFileInfo>

namespace tess {

namespace {
const QString ProfileCaptionPrefix = QStringLiteral("Stamp Text Attributes - ");
const QString ImportTitle = QStringLiteral("Import Orvane Tessarine Attributes");
const QString ExportTitle = QStringLiteral("Export Orvane Tessarine Attributes");
const QString DefaultCaption = QStringLiteral("Stamp Text Attributes - default.tsrx");
} // namespace

/// Applies each profile line to the workspace as the window's controls would: the outline
/// width through setOutlineWidth, the track bars with their change handling, the menu marks.
class WorkspaceProfileTarget : public profiles::ProfileTarget
{
public:
    explicit WorkspaceProfileTarget(Workspace& ws) : m_ws(ws), m_a(ws.m_attributes) {}

    void setWindowPosition(int left, int top) override
    {
        m_ws.setWindowPosition(left, top);
        emit m_ws.windowPositionChanged();
    }
    void setFontName(const QString& name) override { m_a.fontName = name; }
    void setFontSize(int size) override { m_a.fontSize = size; }
    void setFontStyle(bool bold, bool italic) override
    {
        m_a.bold = bold;
        m_a.italic = italic;
    }
    void setTextColor(quint32 color) override { m_a.textColor = color; }
    void setOutlineColor(quint32 color) override { m_a.outlineColor = color; }
    void setOutlineWidth(int width) override { m_ws.setOutlineWidth(width); }
    void setDateFormatDateTime(int index) override { m_a.dateFormatDateTime = index; }
    void setDateFormatOriginal(int index) override { m_a.dateFormatOriginal = index; }
    void setDateFormatCreated(int index) override { m_a.dateFormatCreated = index; }
    void setDateFormatOther(int index) override { m_a.dateFormatOther = index; }
    void setHorizontalTrackBarMax(int max) override { m_ws.setHorizontalMaximum(max); }
    void setHorizontalTrackBarPosition(int position) override
    {
        m_ws.setHorizontalPosition(position);
    }
    void setVerticalTrackBarMax(int max) override { m_ws.setVerticalMaximum(max); }
    void setVerticalTrackBarPosition(int position) override { m_ws.setVerticalPosition(position); }
    void setBorderWidth(int width) override { m_a.borderWidth = width; }
    void setOpacity(int opacity) override
    {
        m_a.opacity = opacity;
        switch (opacity) {
        case 51:
            m_ws.markOpacity(OpacityItem::P20);
            break;
        case 102:
            m_ws.markOpacity(OpacityItem::P40);
            break;
        case 153:
            m_ws.markOpacity(OpacityItem::P60);
            break;
        case 204:
            m_ws.markOpacity(OpacityItem::P80);
            break;
        case 255:
            m_ws.markOpacity(OpacityItem::P100);
            break;
        default:
            m_ws.markOpacity(OpacityItem::Custom);
        }
    }
    void setJpegQuality(int quality) override { m_a.jpegQuality = quality; }
    void setProportionalSize(bool on, int referenceHeight) override
    {
        m_a.proportionalSize = on;
        m_a.referenceHeight = referenceHeight;
    }
    void setBrightness(int brightness) override { m_a.brightness = brightness; }
    void setContrast(int contrast) override { m_a.contrast = contrast; }
    void resetEffect() override { m_ws.markEffect(EffectItem::None); }
    void selectEffect(PhotoEffect effect) override
    {
        switch (effect) {
        case PhotoEffect::Greyscale:
            m_ws.markEffect(EffectItem::Greyscale);
            break;
        case PhotoEffect::Flaxen:
            m_ws.markEffect(EffectItem::Flaxen);
            break;
        case PhotoEffect::Negative:
            m_ws.markEffect(EffectItem::Negative);
            break;
        case PhotoEffect::Sepia:
            m_ws.markEffect(sepiaItemForLevel(m_a.sepiaLevel));
            break;
        case PhotoEffect::None:
            m_ws.markEffect(EffectItem::None);
            break;
        }
    }
    void setSepiaLevel(int level) override
    {
        m_a.sepiaLevel = level;
        if (m_a.effect == PhotoEffect::Sepia)
            m_ws.markEffect(sepiaItemForLevel(level));
    }
    void setKeepFlags(const QString& flags) override { m_a.keepFlags = flags; }
    void addStampText(const QString& mask) override { m_a.stampTexts.append({mask, false}); }
    void setLastStampTextTicked(bool ticked) override
    {
        if (!m_a.stampTexts.isEmpty())
            m_a.stampTexts.last().ticked = ticked;
    }
    void applyHeldPosition(const QString& position) override
    {
        m_a.position = position;
        m_ws.selectPositionButton(position);
    }
    void recover() override { m_ws.recoverFromProfileFailure(); }

private:
    Workspace& m_ws;
    StampAttributes& m_a;
};

bool Workspace::loadAttributeProfile(const QString& path, bool withWindowPosition)
{
    bool ok = false;
    batchRenders([&] {
        WorkspaceProfileTarget target(*this);
        ok = profiles::loadAttributeProfile(path, target, withWindowPosition);
    });
    emit changed();
    return ok;
}

bool Workspace::loadDefaultProfile()
{
    return loadAttributeProfile(defaultProfilePath(), true);
}

void Workspace::saveDefaultProfile()
{
    // Errors are not reported: the program must end whatever happens here.
    (void)profiles::writeAttributeProfile(defaultProfilePath(), m_attributes);
}

void Workspace::resetStampAttributes(bool clearPhotoToo)
{
    batchRenders([&] {
        // The track bars go back to 0 through their own handling, then the anchor is reset.
        setHorizontalPosition(0);
        setVerticalPosition(0);
        tess::resetStampAttributes(m_attributes);
        m_outlineMark = 0;
        m_pressedAnchor = positions::BottomRight;
        m_opacityItem = OpacityItem::P100;
        m_selected = -1;
        m_stampMaskChoices.clear();
        m_textPreview.clear();
        m_attributeCaption = DefaultCaption;
        m_photoChanged = false;
        if (clearPhotoToo)
            clearPhoto();
    });
    emit changed();
}

void Workspace::newStampAttributesClick()
{
    if (!m_platform.prompts->confirm(
            QStringLiteral("Are you sure you want to clear all attributes?")))
        return;
    resetStampAttributes(true);
    resetPhotoControls();
    m_photoChanged = false;
}

void Workspace::importAttributeSetClick()
{
    if (!m_platform.prompts->confirm(QStringLiteral(
            "Are you sure you want to import saved attributes and clear the current ones?")))
        return;
    m_photoChanged = false;
    const std::optional<QString> chosen =
        m_platform.dialogs->openProfile(ImportTitle, m_platform.folders->dataFolder());
    if (chosen) {
        resetStampAttributes(false);
        m_attributeCaption = ProfileCaptionPrefix + QFileInfo(*chosen).fileName();
        loadAttributeProfile(*chosen, false);
    }
    m_values.reset();
    readPhotoValues(m_sourceFileName);
    renderFromMasks();
}

void Workspace::exportAttributeSetClick()
{
    const std::optional<QString> chosen =
        m_platform.dialogs->saveProfile(ExportTitle, m_platform.folders->dataFolder());
    if (!chosen)
        return;
    const profiles::ProfileWriteResult result =
        profiles::writeAttributeProfile(*chosen, m_attributes);
    if (!result)
        m_platform.prompts->error(
            QStringLiteral("The Export Stamp Attributes function failed. Error: ") + result.error);
}

void Workspace::reloadDefaultAttributesClick()
{
    if (!m_platform.prompts->confirm(QStringLiteral(
            "Are you sure you want to revert back to the saved default attributes?")))
        return;
    resetStampAttributes(true);
    resetPhotoControls();
    loadDefaultProfile();
    renderFromMasks();
    m_platform.prompts->information(QStringLiteral("The default attributes have been loaded."));
}

} // namespace tess
