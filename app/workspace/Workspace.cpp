#include "app/workspace/Workspace.h"

#include "adjust/PixelEffects.h"
#include "metadata/PhotoFile.h"
#include "profiles/AttributeProfile.h"
#include "render/StampLines.h"
#include "render/StampRenderer.h"
#include "stamptext/StampMask.h"

#include <QFileInfo>
#include <cmath>
#include <exception>
#include <utility>

namespace tess {

namespace {
const QString LossQuestion =
    QStringLiteral("You are about to loose changes made to the photo.  Do you want to continue?");
const QString NotValid = QStringLiteral("The file is not valid or could not be open.");
const QString CouldNotSave = QStringLiteral("The file could not be saved at this time.");
const QString AppTitle = QStringLiteral("Orvane Tessarine");

const QString HelpPage = QStringLiteral("https://www.orvane.example/tessarine/help/");
const QString HomePage = QStringLiteral("https://www.orvane.example/");
const QString DownloadPage = QStringLiteral("https://www.orvane.example/tessarine/download/");

int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

QString titleFor(const QString& path)
{
    return AppTitle + QStringLiteral(" - ") + QFileInfo(path).fileName();
}
} // namespace

int opacityOfItem(OpacityItem item)
{
    switch (item) {
    case OpacityItem::P20:
        return 51;
    case OpacityItem::P40:
        return 102;
    case OpacityItem::P60:
        return 153;
    case OpacityItem::P80:
        return 204;
    case OpacityItem::P100:
        return 255;
    case OpacityItem::Custom:
        break;
    }
    return -1;
}

PhotoEffect effectOfItem(EffectItem item)
{
    switch (item) {
    case EffectItem::None:
        return PhotoEffect::None;
    case EffectItem::Greyscale:
        return PhotoEffect::Greyscale;
    case EffectItem::Flaxen:
        return PhotoEffect::Flaxen;
    case EffectItem::Negative:
        return PhotoEffect::Negative;
    default:
        return PhotoEffect::Sepia;
    }
}

EffectItem sepiaItemForLevel(int level)
{
    switch (level) {
    case 20:
        return EffectItem::Sepia20;
    case 40:
        return EffectItem::Sepia40;
    case 60:
        return EffectItem::Sepia60;
    case 80:
        return EffectItem::Sepia80;
    default:
        return EffectItem::SepiaCustom;
    }
}

Workspace::Workspace(platform::Platform platform, QObject* parent)
    : QObject(parent), m_platform(platform)
{}

Workspace::~Workspace() = default;

QString Workspace::defaultProfilePath() const
{
    return m_platform.folders->dataFolder() + profiles::DefaultProfileName;
}

QString Workspace::saveOptionsPath() const
{
    return m_platform.folders->dataFolder() + profiles::SaveOptions::fileName();
}

void Workspace::guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        m_platform.prompts->error(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        m_platform.prompts->error(QStringLiteral("An unexpected error occurred."));
    }
    emit changed();
}

// --- Start-up and exit -----------------------------------------------------------------------

void Workspace::formCreate()
{
    m_startingUp = true;
    resetPhotoControls();
    m_attributes.borderWidth = 5;
    m_attributes.opacity = 255;
    m_attributes.sepiaLevel = 45;
    m_attributes.brightness = 255;
    m_attributes.contrast = 255;
    m_attributes.keepFlags = QStringLiteral("1111");
    m_attributes.jpegQuality = 95;
    m_attributes.position = positions::BottomRight;
    m_attributes.proportionalSize = false;
    m_attributes.referenceHeight = 768;
    platform::ensureDataFolder(*m_platform.folders);
    m_attributes.dateFormatDateTime = 0;
    m_attributes.dateFormatOriginal = 0;
    m_attributes.dateFormatCreated = 0;
    m_attributes.dateFormatOther = 0;
    loadDefaultProfile();
    m_saveOptions = profiles::SaveOptions::read(saveOptionsPath());
    m_photoChanged = false;
    m_closeConfirmed = false;
    m_startingUp = false;
    emit changed();
}

bool Workspace::formClose()
{
    if (m_closeConfirmed)
        return true;
    if (m_photoChanged && !m_platform.prompts->confirm(LossQuestion))
        return false;
    saveDefaultProfile();
    (void)m_saveOptions.write(saveOptionsPath()); // as for the profile: nothing is reported
    m_closeConfirmed = true;
    return true;
}

void Workspace::setWindowPosition(int left, int top)
{
    m_attributes.windowLeft = left;
    m_attributes.windowTop = top;
}

// --- Photo controls --------------------------------------------------------------------------

void Workspace::resetPhotoControls()
{
    m_title = AppTitle;
    m_photoControlsEnabled = false;
    emit changed();
}

void Workspace::enablePhotoControls()
{
    m_photoControlsEnabled = true;
    m_stamped = QImage();
    emit picturesChanged();
}

bool Workspace::confirmLoss()
{
    return !m_photoChanged || m_platform.prompts->confirm(LossQuestion);
}

// --- Opening --------------------------------------------------------------------------------

std::pair<double, double> Workspace::relativeTrackBarPositions() const
{
    // A maximum of 0 leaves both at 0.
    if (m_attributes.customXMax == 0 || m_attributes.customYMax == 0)
        return {0.0, 0.0};
    return {double(m_attributes.customX) / m_attributes.customXMax,
            double(m_attributes.customY) / m_attributes.customYMax};
}

void Workspace::rescaleTrackBars(double rx, double ry)
{
    // Each change of position runs the track bar handling (position "Custom"); the caller
    // puts the anchor back afterwards.
    setHorizontalMaximum(m_base.width());
    setVerticalMaximum(m_base.height());
    setHorizontalPosition(roundHalfEven(m_attributes.customXMax * rx));
    setVerticalPosition(roundHalfEven(m_attributes.customYMax * ry));
}

void Workspace::open1Click()
{
    const QString p = m_attributes.position;
    if (!confirmLoss())
        return;
    const auto [rx, ry] = relativeTrackBarPositions();
    const std::optional<QString> chosen =
        m_platform.dialogs->openPhoto(m_platform.folders->dataFolder());
    if (!chosen)
        return;
    batchRenders([&] { openPhoto(*chosen, PhotoSource::OpenDialog, p, rx, ry); });
}

void Workspace::openPhoto(const QString& path, PhotoSource source, const QString& p, double rx,
                          double ry)
{
    if (adjust::resetAdjustmentsOnOpen(m_attributes))
        markEffect(EffectItem::None);
    // A dropped file that may not be read is no invalid picture: the general error report
    // tells it.
    const QFileInfo info(path);
    if (source == PhotoSource::Drop && info.isFile() && !info.isReadable())
        throw std::runtime_error(
            QStringLiteral("Cannot open file \"%1\". Permission denied.").arg(path).toStdString());
    metadata::LoadResult loaded = metadata::loadPhoto(path);
    if (!loaded.ok()) {
        m_platform.prompts->warning(NotValid);
        emit changed();
        return;
    }
    m_base = loaded.image;
    m_baseAsLoaded = true;
    setAdjusted(m_base);
    m_sourceFileName = path;
    rescaleTrackBars(rx, ry);
    m_values.reset();
    readPhotoValues(path);
    m_photoChanged = true;

    m_title = titleFor(path);
    enablePhotoControls();
    m_photoFileName = path;
    m_attributes.position = p;
    selectPositionButton(p);
    emit previewScrollReset();
    renderFromMasks();
}

void Workspace::dropFiles(const QStringList& paths)
{
    const QString p = m_attributes.position;
    if (!confirmLoss())
        return;
    const auto [rx, ry] = relativeTrackBarPositions();
    if (paths.size() >= 2) {
        m_platform.prompts->information(
            QStringLiteral("You can drop only one image file at a time."));
        return;
    }
    if (paths.isEmpty())
        return;
    // The path is taken whole: no length limit.
    batchRenders([&] { openPhoto(paths.constFirst(), PhotoSource::Drop, p, rx, ry); });
}

void Workspace::readPhotoValues(const QString& path)
{
    const stamptext::DateFormats formats{
        m_attributes.dateFormatDateTime, m_attributes.dateFormatOriginal,
        m_attributes.dateFormatCreated, m_attributes.dateFormatOther};
    const stamptext::Separators separators{m_platform.clock->dateSeparator(),
                                           m_platform.clock->timeSeparator()};
    m_values =
        stamptext::readPhotoValues(path, photoSize(), formats, m_platform.clock->now(), separators);
    m_stampMaskField.clear();
    m_stampMaskChoices = m_values->tagsWithValue();
    emit changed();
}

// --- Saving ---------------------------------------------------------------------------------

QImage Workspace::unstampedForLosslessSave() const
{
    return m_saveOptions.keepOwnCompression && m_baseAsLoaded && !adjust::adjustsPhoto(m_attributes)
               ? m_base
               : QImage();
}

bool Workspace::savePreviewTo(const QString& destination)
{
    const bool saved =
        metadata::saveStampedPhoto(previewCopy(), m_attributes.jpegQuality, m_sourceFileName,
                                   destination, unstampedForLosslessSave())
            .ok();
    // Once the source holds a stamp, its blocks are no longer the loaded photo's: a lossless
    // save would keep that stamp beside the next one.
    if (saved && QFileInfo(destination).canonicalFilePath() ==
                     QFileInfo(m_sourceFileName).canonicalFilePath())
        m_baseAsLoaded = false;
    return saved;
}

void Workspace::save1Click()
{
    if (!m_platform.prompts->confirm(
            QStringLiteral("Are you sure you want to overwrite the original file?")))
        return;
    if (savePreviewTo(m_sourceFileName)) {
        m_photoChanged = true;
        m_platform.prompts->information(
            QStringLiteral("The original file has been overwritten successfully."));
    } else {
        m_platform.prompts->warning(CouldNotSave);
    }
}

void Workspace::saveAs1Click()
{
    const std::optional<QString> chosen =
        m_platform.dialogs->savePhotoAs(m_platform.folders->dataFolder());
    if (!chosen)
        return;
    if (savePreviewTo(*chosen)) {
        m_photoFileName = *chosen;
        m_title = titleFor(*chosen);
        m_photoChanged = true;
        emit changed();
        m_platform.prompts->information(QStringLiteral("The file has been saved."));
    } else {
        m_platform.prompts->warning(CouldNotSave);
    }
}

// --- Close, flip, mirror --------------------------------------------------------------------

void Workspace::clearPhoto()
{
    m_stamped = QImage();
    m_spare = QImage();
    m_base = QImage();
    setAdjusted(QImage());
    m_photoFileName.clear();
    emit picturesChanged();
}

void Workspace::close1Click()
{
    if (!confirmLoss())
        return;
    clearPhoto();
    m_title = AppTitle;
    m_photoChanged = false;
    resetPhotoControls();
    m_values.reset();
    emit changed();
}

void Workspace::flip1Click()
{
    QImage copy = m_base.copy();
    adjust::flipPhoto(copy);
    m_base = copy;
    m_baseAsLoaded = false;
    rerenderStamp();
}

void Workspace::mirror2Click()
{
    QImage copy = m_base.copy();
    adjust::mirrorPhoto(copy);
    m_base = copy;
    m_baseAsLoaded = false;
    rerenderStamp();
}

void Workspace::options1Click()
{
    if (!m_windows)
        return;
    m_dialogCancelled = false;
    m_windows->showOptions();
    if (!m_dialogCancelled && !m_stamped.isNull()) {
        m_values.reset();
        readPhotoValues(m_sourceFileName);
        renderFromMasks();
    }
    emit changed();
}

void Workspace::showWindow(void (WorkspaceWindows::*show)())
{
    if (m_windows)
        (m_windows->*show)();
}

void Workspace::fullScreenPreview1Click()
{
    showWindow(&WorkspaceWindows::showFullScreenPreview);
}

void Workspace::print1Click()
{
    showWindow(&WorkspaceWindows::showPrintPreview);
}

void Workspace::batchStamp1Click()
{
    showWindow(&WorkspaceWindows::showBatchStamp);
}

void Workspace::about1Click()
{
    showWindow(&WorkspaceWindows::showAbout);
}

void Workspace::help2Click()
{
    platform::openUrlOrTell(*m_platform.shell, *m_platform.prompts, HelpPage);
}

void Workspace::orvaneHomePage1Click()
{
    platform::openUrlOrTell(*m_platform.shell, *m_platform.prompts, HomePage);
}

void Workspace::checkForUpdates1Click()
{
    platform::openUrlOrTell(*m_platform.shell, *m_platform.prompts, DownloadPage);
}

// --- Font, colours, outline, opacity, effects ---------------------------------------------

void Workspace::setFont(const platform::FontChoice& font)
{
    m_attributes.fontName = font.face;
    m_attributes.fontSize = font.pointSize;
    m_attributes.bold = font.bold;
    m_attributes.italic = font.italic;
}

void Workspace::font1Click()
{
    const platform::FontChoice current{m_attributes.fontName, m_attributes.fontSize,
                                       m_attributes.bold, m_attributes.italic};
    const std::optional<platform::FontChoice> chosen = m_platform.dialogs->chooseFont(current);
    if (!chosen)
        return;
    setFont(*chosen);
    rerenderStamp();
}

void Workspace::chooseColour(quint32& colour)
{
    const std::optional<quint32> chosen = m_platform.dialogs->chooseColor(colour);
    if (!chosen)
        return;
    colour = *chosen & 0xFFFFFF;
    renderFromTextPreview();
}

void Workspace::extColor1Click()
{
    chooseColour(m_attributes.textColor);
}

void Workspace::color1Click()
{
    chooseColour(m_attributes.outlineColor);
}

void Workspace::setOutlineWidth(int n)
{
    m_attributes.outlineWidth = profiles::outlineWidthFor(n);
    m_outlineMark = m_attributes.outlineWidth;
    rerenderStamp();
}

void Workspace::markOpacity(OpacityItem item)
{
    m_opacityItem = item;
    emit changed();
}

void Workspace::opacityPresetClick(OpacityItem preset)
{
    markOpacity(preset);
    rerenderStamp();
}

void Workspace::custom1Click()
{
    markOpacity(OpacityItem::Custom);
    if (m_windows)
        m_windows->showCustomOpacity();
    rerenderStamp();
}

void Workspace::markEffect(EffectItem item)
{
    m_effectItem = item;
    m_attributes.effect = effectOfItem(item);
    emit changed();
}

void Workspace::plainEffectClick(EffectItem effect)
{
    markEffect(effect);
    rerenderStamp();
}

void Workspace::sepiaPresetClick(int level)
{
    markEffect(sepiaItemForLevel(level));
    m_attributes.sepiaLevel = level;
    rerenderStamp();
}

void Workspace::custom2Click()
{
    markEffect(EffectItem::SepiaCustom);
    if (m_windows)
        m_windows->showSepiaLevel();
    rerenderStamp();
}

void Workspace::brightness1Click()
{
    m_dialogCancelled = false;
    if (m_windows)
        m_windows->showBrightnessContrast();
    if (!m_dialogCancelled)
        rerenderStamp();
    m_dialogCancelled = false;
}

// --- Anchor and track bars ------------------------------------------------------------------

void Workspace::anchorClick(const QString& position, bool pressed)
{
    if (pressed) {
        m_pressedAnchor = position;
        m_attributes.position = position;
    } else {
        m_pressedAnchor.clear();
        m_attributes.position = positions::Custom;
    }
    m_photoChanged = true;
    rerenderStamp();
}

void Workspace::selectPositionButton(const QString& position)
{
    static const QStringList buttons{positions::BottomRight, positions::TopRight,
                                     positions::BottomLeft, positions::TopLeft, positions::Centre};
    if (buttons.contains(position))
        m_pressedAnchor = position;
    else if (position == positions::Custom)
        m_pressedAnchor.clear();
    emit changed();
}

void Workspace::trackBarChanged()
{
    m_attributes.position = positions::Custom;
    m_pressedAnchor.clear();
    rerenderStamp();
    m_photoChanged = true;
}

void Workspace::setTrackBarPosition(int& position, int maximum, int value)
{
    const int clamped = qBound(0, value, qMax(0, maximum));
    if (clamped == position)
        return;
    position = clamped;
    trackBarChanged();
}

void Workspace::setHorizontalPosition(int position)
{
    setTrackBarPosition(m_attributes.customX, m_attributes.customXMax, position);
}

void Workspace::setVerticalPosition(int position)
{
    setTrackBarPosition(m_attributes.customY, m_attributes.customYMax, position);
}

void Workspace::setHorizontalMaximum(int maximum)
{
    if (maximum < 0)
        return;
    m_attributes.customXMax = maximum;
    setHorizontalPosition(m_attributes.customX);
}

void Workspace::setVerticalMaximum(int maximum)
{
    if (maximum < 0)
        return;
    m_attributes.customYMax = maximum;
    setVerticalPosition(m_attributes.customY);
}

// --- The stamp text list ----------------------------------------------------------------------

void Workspace::setStampMaskField(const QString& text)
{
    m_stampMaskField = text;
}

void Workspace::btnAddFiletoGridClick()
{
    if (m_stampMaskField.isEmpty())
        return;
    m_attributes.stampTexts.append({m_stampMaskField, true});
    m_stampMaskField.clear();
    stampListChanged();
}

void Workspace::speedButton2Click()
{
    if (!m_windows)
        return;
    if (const std::optional<QString> mask = m_windows->buildStampMask(m_stampMaskField))
        m_stampMaskField = *mask;
    emit changed();
}

void Workspace::speedButton3Click()
{
    if (m_selected < 0 || m_selected >= m_attributes.stampTexts.size() || !m_windows)
        return;
    const QString edited = m_windows->editStampMask(m_attributes.stampTexts[m_selected].mask);
    if (edited.isEmpty())
        return;
    m_attributes.stampTexts[m_selected].mask = edited;
    stampListChanged();
}

void Workspace::speedButton4Click()
{
    if (m_selected >= 1 && m_selected < m_attributes.stampTexts.size()) {
        m_attributes.stampTexts.swapItemsAt(m_selected, m_selected - 1);
        --m_selected;
    }
    stampListChanged();
}

void Workspace::speedButton5Click()
{
    if (m_selected >= 0 && m_selected < m_attributes.stampTexts.size() - 1) {
        m_attributes.stampTexts.swapItemsAt(m_selected, m_selected + 1);
        ++m_selected;
    }
    stampListChanged();
}

void Workspace::speedButton6Click()
{
    if (m_selected < 0 || m_selected >= m_attributes.stampTexts.size())
        return;
    m_attributes.stampTexts.removeAt(m_selected);
    if (m_selected >= m_attributes.stampTexts.size())
        m_selected = m_attributes.stampTexts.size() - 1;
    stampListChanged();
}

void Workspace::stampListChanged()
{
    renderFromMasks();
    m_photoChanged = true;
    emit changed();
}

void Workspace::setSelectedEntry(int index)
{
    m_selected = (index >= 0 && index < m_attributes.stampTexts.size()) ? index : -1;
}

void Workspace::checkListBox1ClickCheck(int index, bool ticked)
{
    if (index < 0 || index >= m_attributes.stampTexts.size())
        return;
    m_attributes.stampTexts[index].ticked = ticked;
    stampListChanged();
}

void Workspace::memo1KeyUp(const QStringList& lines)
{
    m_textPreview = lines;
    renderFromTextPreview();
}

// --- Rendering ------------------------------------------------------------------------------

void Workspace::applyOpacityMark()
{
    const int preset = opacityOfItem(m_opacityItem);
    if (preset >= 0)
        m_attributes.opacity = preset;
}

bool Workspace::render(const QStringList& lines, bool fromMasks)
{
    applyOpacityMark();
    const QStringList stampLines = lines.isEmpty() ? QStringList{QString()} : lines;
    render::RenderOutput out = render::renderStamp(m_base, m_attributes, stampLines,
                                                   fromMasks ? render::AdjustedText::FullOpacity
                                                             : render::AdjustedText::None,
                                                   std::move(m_spare));
    if (out.failed) {
        if (fromMasks)
            m_platform.prompts->warning(NotValid);
        return false;
    }
    // The picture being replaced is kept for the render after next: by then the views have
    // let go of it, and it is written over instead of allocated anew.
    m_spare = std::exchange(m_stamped, out.stamped);
    m_adjusted = out.stamped;
    m_adjustedPatch = out.adjustedPatch;
    m_adjustedPatchAt = out.patchAt;
    emit picturesChanged();
    return true;
}

void Workspace::setAdjusted(const QImage& picture)
{
    m_adjusted = picture;
    m_adjustedPatch = QImage();
}

QImage Workspace::adjustedPhoto() const
{
    render::RenderOutput parts;
    parts.stamped = m_adjusted;
    parts.adjustedPatch = m_adjustedPatch;
    parts.patchAt = m_adjustedPatchAt;
    return parts.adjusted();
}

void Workspace::renderFromMasks()
{
    m_textPreview.clear();
    if (m_photoFileName.isEmpty()) {
        emit changed();
        return;
    }
    if (m_base.isNull()) {
        emit changed();
        return;
    }
    const stamptext::ValueLookup lookup = [this](const QString& tag) {
        return m_values ? m_values->valueOf(tag) : QString();
    };
    const QStringList lines = render::stampLinesFromMasks(m_attributes.stampTexts, lookup);
    // A full render replaces whatever text-preview render was held back. When the photo
    // cannot be adjusted the render ends before the lines are built: the text preview stays
    // empty and the photo does not count as changed.
    m_textRenderPending = false;
    if (render(lines, true)) {
        m_textPreview = lines;
        // Each ticked entry counts as a change of the photo.
        for (const StampText& entry : m_attributes.stampTexts) {
            if (entry.ticked)
                m_photoChanged = true;
        }
    }
    emit changed();
}

void Workspace::batchRenders(const std::function<void()>& body)
{
    struct Depth
    {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    };
    {
        Depth depth(m_renderBatchDepth);
        body();
    }
    if (m_renderBatchDepth == 0 && m_textRenderPending) {
        m_textRenderPending = false;
        renderFromTextPreview();
    }
}

void Workspace::renderFromTextPreview()
{
    if (m_renderBatchDepth > 0) {
        m_textRenderPending = true;
        return;
    }
    if (m_base.isNull()) {
        setAdjusted(QImage());
        m_stamped = QImage();
        emit picturesChanged();
        return;
    }
    render(m_textPreview, false);
}

void Workspace::rerenderStamp()
{
    if (m_startingUp)
        renderFromMasks();
    else
        renderFromTextPreview();
}

// --- Attribute profiles -----------------------------------------------------------------------

void Workspace::recoverFromProfileFailure()
{
    emit centreWindowRequested();
    m_attributes.outlineWidth = 0;
    m_outlineMark = 0;
    emit changed();
}

} // namespace tess
