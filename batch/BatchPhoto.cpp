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
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

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
bool batchPhotoAdjusted(const BatchSettings& s)
{
    return effectOf(s) != PhotoEffect::None ||
           (keepFlagOn(s.keepFlags, 4) && (s.brightness != 255 || s.contrast != 255));
}

} // namespace

int batchInteger(const QString& text)
{
    const std::optional<int> value = profiles::profileInteger(text);
    if (!value)
        throw BatchError{u'\'' + text + QStringLiteral("' is not a valid integer value")};
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

BatchLayout batchStampLayout(QSize photoSize, const BatchSettings& settings,
                             const QStringList& lines)
{
    StampAttributes fontAttributes;
    fontAttributes.fontName = settings.fontName;
    bool bold = false;
    bool italic = false;
    profiles::fontStyleFromText(settings.fontStyle, &bold, &italic); // other texts: regular
    fontAttributes.bold = bold;
    fontAttributes.italic = italic;
    int size = batchInteger(settings.fontSize);
    if (settings.proportionalSize) {
        if (settings.referenceHeight == 0)
            throw BatchError{QStringLiteral("Division by zero")};
        const double scaled =
            double(size) * double(photoSize.height()) / double(settings.referenceHeight);
        size = int(std::nearbyint(std::clamp(scaled, -1e6, 1e6)));
    }
    fontAttributes.fontSize = size;

    BatchLayout layout;
    layout.font = render::stampFont(fontAttributes, photoSize.height());
    layout.outlineWidth = batchInteger(settings.outlineWidth);
    const render::StampBlock block = render::measureStampLines(layout.font, lines);
    layout.lineHeight = block.lineHeight;

    const auto [rx, ry] = customRatios(settings);
    const int border = isCorner(settings.position) ? batchInteger(settings.borderWidth) : 0;
    layout.anchor = render::stampAnchor(
        settings.position, photoSize, block.maxWidth, block.blockHeight, border,
        roundedCoordinate(photoSize.width() * rx), roundedCoordinate(photoSize.height() * ry));
    return layout;
}

QImage renderBatchPhoto(const QImage& photo, const BatchSettings& settings,
                        const QStringList& lines)
{
    const bool adjustments = keepFlagOn(settings.keepFlags, 4);
    QImage adjusted = adjust::applyPhotoAdjustments(
        photo, effectOf(settings), quint8(settings.sepiaLevel & 0xFF),
        adjustments ? settings.brightness : 255, adjustments ? settings.contrast : 255);
    if (adjusted.isNull() || adjusted.format() != QImage::Format_BGR888)
        throw BatchError{QStringLiteral("Not enough memory for the picture")};

    const BatchLayout layout = batchStampLayout(adjusted.size(), settings, lines);
    const quint8 alpha = quint8(batchInteger(settings.opacity) & 0xFF);
    if (!layout.anchor || alpha == 0)
        return adjusted;
    const QPoint at = *layout.anchor;
    const QRect touched = render::stampLinesBounds(layout.font, at.x(), at.y(), layout.lineHeight,
                                                   layout.outlineWidth, lines) &
                          adjusted.rect();
    if (touched.isEmpty())
        return adjusted;

    // The text goes onto a copy of just the rectangle it touches, drawn in the photo's
    // coordinates; the rest of the stamped photo is the adjusted photo unchanged.
    QImage textFree = adjusted.copy(touched);
    QImage text = textFree;
    if (textFree.isNull() || !text.bits())
        throw BatchError{QStringLiteral("Not enough memory for the picture")};
    {
        QPainter painter(&text);
        painter.translate(-touched.x(), -touched.y());
        render::drawStampLines(painter, layout.font, settings.textColor, settings.outlineColor,
                               at.x(), at.y(), layout.lineHeight, layout.outlineWidth, lines);
    }
    const QImage blended = render::blendStamp(textFree, text, alpha);
    uchar* const bits = adjusted.bits();
    if (blended.isNull() || !bits)
        throw BatchError{QStringLiteral("Not enough memory for the picture")};
    const size_t rowBytes = size_t(blended.width()) * 3;
    for (int row = 0; row < blended.height(); ++row) {
        std::memcpy(bits + qsizetype(touched.y() + row) * adjusted.bytesPerLine() +
                        qsizetype(touched.x()) * 3,
                    blended.constScanLine(row), rowBytes);
    }
    return adjusted;
}

bool stampBatchPhoto(const QString& source, const BatchPhotoContext& context)
{
    const QString name = QFileInfo(source).fileName();
    try {
        const int quality = batchInteger(context.settings.jpegQuality);
        QImage stamped;
        QImage unstamped; // the photo as loaded, for the lossless save
        {
            // Only the stamped picture outlives this block: one photo's pictures at a time.
            const metadata::LoadResult loaded = metadata::loadPhoto(source);
            if (!loaded.ok())
                throw BatchError{loaded.error};
            const QStringList lines = batchStampLines(
                context.settings.stampTexts,
                batchPhotoValues(source, loaded.image.size(), context.settings, context.clock));
            stamped = renderBatchPhoto(loaded.image, context.settings, lines);
            if (context.keepOwnCompression && !batchPhotoAdjusted(context.settings))
                unstamped = loaded.image;
        }
        const QString destination = context.destinationFolder + name;
        if (QFileInfo::exists(destination) && !context.overwrite) {
            context.log.append(messages::skipped(name));
            return false;
        }
        const metadata::StampedSave saved =
            metadata::saveStampedPhoto(stamped, quality, source, destination, unstamped);
        if (!saved.ok)
            throw BatchError{QStringLiteral("The stamped photo could not be saved as ") +
                             destination};
        const QString whyNot =
            unstamped.isNull() ? QStringLiteral("the photo is adjusted") : saved.whyNotLossless;
        context.log.append(
            messages::saved(name, context.destinationFolder) +
            (context.keepOwnCompression ? messages::savePath(saved.lossless, whyNot) : QString()));
        return true;
    } catch (const BatchError& e) {
        context.log.append(messages::failed(name, e.message));
    } catch (const std::bad_alloc&) {
        context.log.append(messages::failed(name, QStringLiteral("Not enough memory")));
    }
    return false;
}

} // namespace tess::batch
