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
} // namespace

QString Workspace::defaultAttributeCaption()
{
    return ProfileCaptionPrefix + profiles::DefaultProfileName;
}

/// Applies each profile line to the workspace as the window's controls would. The plain
/// values go straight into the attributes; the outline width goes through setOutlineWidth,
/// the track bars through their change handling, and the menu marks follow their values.
class WorkspaceProfileTarget : public profiles::AttributesTarget
{
public:
    explicit WorkspaceProfileTarget(Workspace& ws) : AttributesTarget(ws.m_attributes), m_ws(ws) {}

    void setWindowPosition(int left, int top) override
    {
        m_ws.setWindowPosition(left, top);
        emit m_ws.windowPositionChanged();
    }
    void setOutlineWidth(int width) override { m_ws.setOutlineWidth(width); }
    void setHorizontalTrackBarMax(int max) override { m_ws.setHorizontalMaximum(max); }
    void setHorizontalTrackBarPosition(int position) override
    {
        m_ws.setHorizontalPosition(position);
    }
    void setVerticalTrackBarMax(int max) override { m_ws.setVerticalMaximum(max); }
    void setVerticalTrackBarPosition(int position) override { m_ws.setVerticalPosition(position); }
    void setOpacity(int opacity) override
    {
        AttributesTarget::setOpacity(opacity);
        // A preset's value selects the preset; every other value is Custom.
        OpacityItem item = OpacityItem::Custom;
        for (OpacityItem preset : {OpacityItem::P20, OpacityItem::P40, OpacityItem::P60,
                                   OpacityItem::P80, OpacityItem::P100}) {
            if (opacityOfItem(preset) == opacity)
                item = preset;
        }
        m_ws.markOpacity(item);
    }
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
            m_ws.markEffect(sepiaItemForLevel(m_ws.m_attributes.sepiaLevel));
            break;
        case PhotoEffect::None:
            m_ws.markEffect(EffectItem::None);
            break;
        }
    }
    void setSepiaLevel(int level) override
    {
        AttributesTarget::setSepiaLevel(level);
        if (m_ws.m_attributes.effect == PhotoEffect::Sepia)
            m_ws.markEffect(sepiaItemForLevel(level));
    }
    void applyHeldPosition(const QString& position) override
    {
        AttributesTarget::applyHeldPosition(position);
        m_ws.selectPositionButton(position);
    }
    void recover() override { m_ws.recoverFromProfileFailure(); }

private:
    Workspace& m_ws;
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
        m_attributeCaption = defaultAttributeCaption();
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
    if (!result.ok())
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
