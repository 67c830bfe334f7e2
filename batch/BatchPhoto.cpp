#include "batch/BatchPhoto.h"

#include "adjust/PixelEffects.h"
#include "batch/BatchLog.h"
#include "metadata/PhotoFile.h"
#include "platform/Clock.h"
#include "profiles/AttributeProfile.h"
#include "render/StampLines.h"
#include "render/StampRenderer.h"
#include "stamptext/StampMask.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace tess::batch {

namespace {

/// Coordinates far outside any photo are held here, as the renderer holds its own.
constexpr double CoordinateLimit = double(1 << 30);

bool keepFlagOn(const QString& flags, int i)
{
    return flags.size() >= i && flags.at(i - 1) == u'1';
}

/// A real number from a custom position text; nothing unless it is finite.
std::optional<double> realNumber(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

/// customX / customXMax and customY / customYMax; (0, 0) when a text is no number or a
/// ratio cannot be formed (a zero maximum included).
std::pair<double, double> customRatios(const BatchSettings& s)
{
    const auto x = realNumber(s.customX);
    const auto xMax = realNumber(s.customXMax);
    const auto y = realNumber(s.customY);
    const auto yMax = realNumber(s.customYMax);
    if (!x || !xMax || !y || !yMax || *xMax == 0 || *yMax == 0)
        return {0.0, 0.0};
    const double rx = *x / *xMax;
    const double ry = *y / *yMax;
    if (!std::isfinite(rx) || !std::isfinite(ry))
        return {0.0, 0.0};
    return {rx, ry};
}

int roundedCoordinate(double v)
{
    return int(std::clamp(std::nearbyint(v), -CoordinateLimit, CoordinateLimit));
}

bool isCorner(const QString& position)
{
    return position == positions::BottomRight || position == positions::TopRight ||
           position == positions::BottomLeft || position == positions::TopLeft;
}

PhotoEffect effectOf(const BatchSettings& s)
{
    PhotoEffect effect = PhotoEffect::None;
    if (!keepFlagOn(s.keepFlags, 2) || !photoEffectFromName(s.effect, &effect))
        return PhotoEffect::None;
    return effect;
}

/// True when the settings change the photo itself, not only by the stamp.
} // namespace

int batchInteger(const QString& text)
{
    const std::optional<int> value = profiles::profileInteger(text);
    if (!value)
        throw BatchError{u'\'' + logValue(text) + QStringLiteral("' is not a valid integer value")};
    return *value;
}

QStringList batchStampLines(const QList<StampText>& entries,
                            const stamptext::PhotoValueTable& values)
{
    QStringList lines = render::stampLinesFromMasks(
        entries, [&values](const QString& tag) { return values.valueOf(tag); });
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

stamptext::PhotoValueTable batchPhotoValues(const QString& source, QSize photoSize,
                                            const BatchSettings& settings,
                                            const platform::Clock& clock)
{
    const stamptext::Separators separators{clock.dateSeparator(), clock.timeSeparator()};
    return stamptext::readPhotoValues(source, photoSize, settings.dateFormats(), clock.now(),
                                      separators);
}

QString expandBatchMask(const QString& source, QSize photoSize, const QString& mask,
                        const BatchSettings& settings, const platform::Clock& clock)
{
    const stamptext::PhotoValueTable values = batchPhotoValues(source, photoSize, settings, clock);
    return stamptext::expandStampMask(
        mask, [&values](const QString& tag) { return values.valueOf(tag); });
}

StampAttributes batchStampAttributes(QSize photoSize, const BatchSettings& settings)
{
    StampAttributes a;
    a.fontName = settings.fontName;
    profiles::fontStyleFromText(settings.fontStyle, &a.bold, &a.italic); // other texts: regular
    a.fontSize = batchInteger(settings.fontSize);
    a.proportionalSize = settings.proportionalSize;
    a.referenceHeight = settings.referenceHeight;
    if (a.proportionalSize && a.referenceHeight == 0)
        throw BatchError{QStringLiteral("Division by zero")};
    a.textColor = settings.textColor;
    a.outlineColor = settings.outlineColor;
    a.outlineWidth = batchInteger(settings.outlineWidth);
    a.position = settings.position;
    a.borderWidth = isCorner(settings.position) ? batchInteger(settings.borderWidth) : 0;
    const auto [rx, ry] = customRatios(settings);
    a.customX = roundedCoordinate(photoSize.width() * rx);
    a.customY = roundedCoordinate(photoSize.height() * ry);
    a.opacity = batchInteger(settings.opacity);
    a.effect = effectOf(settings);
    a.sepiaLevel = settings.sepiaLevel;
    const bool adjustments = keepFlagOn(settings.keepFlags, 4);
    a.brightness = adjustments ? settings.brightness : 255;
    a.contrast = adjustments ? settings.contrast : 255;
    return a;
}

namespace {

template <typename Photo>
QImage renderWithAttributes(Photo&& photo, const BatchSettings& settings, const QStringList& lines)
{
    const StampAttributes attributes = batchStampAttributes(photo.size(), settings);
    render::RenderOutput out = render::renderStamp(std::forward<Photo>(photo), attributes, lines,
                                                   render::AdjustedText::None);
    if (out.failed || out.stamped.isNull())
        throw BatchError{QStringLiteral("Not enough memory for the picture")};
    return std::move(out.stamped);
}

} // namespace

QImage renderBatchPhoto(const QImage& photo, const BatchSettings& settings,
                        const QStringList& lines)
{
    return renderWithAttributes(photo, settings, lines);
}

QImage renderBatchPhoto(QImage&& photo, const BatchSettings& settings, const QStringList& lines)
{
    return renderWithAttributes(std::move(photo), settings, lines);
}

bool WrittenDestinations::contains(const QString& path) const
{
    const QMutexLocker lock(&m_mutex);
    return m_paths.contains(path);
}

void WrittenDestinations::insert(const QString& path)
{
    const QMutexLocker lock(&m_mutex);
    m_paths.insert(path);
}

BatchOutcome stampBatchPhotoQuietly(const QString& source, const BatchPhotoContext& context)
{
    const QString name = QFileInfo(source).fileName();
    try {
        const int quality = batchInteger(context.settings.jpegQuality);
        QImage stamped;
        QImage unstamped; // the photo as loaded, for the lossless save
        {
            // Only the stamped picture outlives this block, and it is the loaded photo's own
            // buffer, adjusted and stamped in place: one full-size picture per photo.
            metadata::LoadResult loaded = metadata::loadPhoto(source);
            if (!loaded.ok())
                throw BatchError{loaded.error};
            const QStringList lines = batchStampLines(
                context.settings.stampTexts,
                batchPhotoValues(source, loaded.image.size(), context.settings, context.clock));
            if (context.keepOwnCompression &&
                !adjust::adjustsPhoto(batchStampAttributes(loaded.image.size(), context.settings)))
                unstamped = loaded.image; // shared: the render below works on a copy
            stamped = renderBatchPhoto(std::move(loaded.image), context.settings, lines);
        }
        const QString destination = context.destinationFolder + name;
        if ((QFileInfo::exists(destination) && !context.overwrite) ||
            (context.written && context.written->contains(destination)))
            return {false, messages::skipped(name)};
        const metadata::StampedSave saved =
            metadata::saveStampedPhoto(stamped, quality, source, destination, unstamped);
        if (!saved.ok())
            throw BatchError{QStringLiteral("The stamped photo could not be saved as ") +
                             logValue(destination) + QStringLiteral(": ") + saved.error};
        if (context.written)
            context.written->insert(destination);
        const QString whyNot =
            unstamped.isNull() ? QStringLiteral("the photo is adjusted") : saved.whyNotLossless;
        return {true, messages::saved(name, context.destinationFolder) +
                          (context.keepOwnCompression ? messages::savePath(saved.lossless, whyNot)
                                                      : QString())};
    } catch (const BatchError& e) {
        return {false, messages::failed(name, e.message)};
    } catch (const std::bad_alloc&) {
        return {false, messages::failed(name, QStringLiteral("Not enough memory"))};
    }
}

bool stampBatchPhoto(const QString& source, const BatchPhotoContext& context)
{
    const BatchOutcome outcome = stampBatchPhotoQuietly(source, context);
    context.log.append(outcome.message);
    return outcome.saved;
}

} // namespace tess::batch
