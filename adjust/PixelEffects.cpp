#include "adjust/PixelEffects.h"

#include <QColorSpace>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tess::adjust {

namespace {

// Every per-byte rule (negative, brighten, darken, contrast) maps a byte to a byte, so each
// is held as a 256-entry table built with the integer rule itself; consecutive per-byte
// steps compose into one table and one pass gives the same bytes as running them in turn.
using ByteTable = std::array<quint8, 256>;
// Sepia result per average grey a: blue, green, red at 3a, 3a + 1, 3a + 2.
using SepiaTable = std::array<quint8, 3 * 256>;

quint8 clampWide(qint64 v)
{
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<quint8>(v);
}

template <class Rule> ByteTable makeTable(Rule rule)
{
    ByteTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = clampWide(rule(qint64{v}));
    return table;
}

// The rules are evaluated in 64 bits, where no 32-bit n can overflow them; the divisions truncate
// toward zero as C++ integer division does.
ByteTable identityTable()
{
    return makeTable([](qint64 v) { return v; });
}

ByteTable negativeTable()
{
    return makeTable([](qint64 v) { return 255 - v; });
}

ByteTable brightenTable(qint64 n)
{
    return makeTable([n](qint64 v) { return v + ((255 - v) * n) / 255; });
}

ByteTable darkenTable(qint64 n)
{
    return makeTable([n](qint64 v) { return v - (v * n) / 255; });
}

ByteTable contrastTable(qint64 n)
{
    return makeTable(
        [n](qint64 v) { return v > 127 ? v + ((v - 127) * n) / 255 : v - ((127 - v) * n) / 255; });
}

/// `first`, then `second`.
ByteTable compose(const ByteTable& first, const ByteTable& second)
{
    ByteTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = second[first[v]];
    return table;
}

bool isIdentity(const ByteTable& table)
{
    return table == identityTable();
}

/// The brightness step of the pipeline: brighten above 255, darken (by 0 at 255) below.
/// In 64 bits, as a setting far out of its range must not overflow.
ByteTable brightnessTable(qint64 brightness)
{
    return brightness >= 256 ? brightenTable(brightness - 255) : darkenTable(255 - brightness);
}

SepiaTable sepiaTable(quint8 level, const ByteTable& after)
{
    SepiaTable table{};
    for (int a = 0; a < 256; ++a) {
        table[3 * a] = after[a];
        table[3 * a + 1] = after[std::min(a + level, 255)];
        table[3 * a + 2] = after[std::min(a + 2 * level, 255)];
    }
    return table;
}

// Row kernels. Each reads a row of `width` pixels at `src` and writes it to `dst`; `src` and
// `dst` may be the same row. Only the first 3 * width bytes are touched, never the padding.

void tableRow(const uchar* src, uchar* dst, int width, const ByteTable& table)
{
    const qsizetype bytes = qsizetype{3} * width;
    qsizetype i = 0;
    // Four look-ups before four stores: a store to dst may alias src for all the compiler
    // knows, and this way it does not have to wait for each store before the next load.
    for (; bytes - i >= 4; i += 4) {
        const quint8 a = table[src[i]];
        const quint8 b = table[src[i + 1]];
        const quint8 c = table[src[i + 2]];
        const quint8 d = table[src[i + 3]];
        dst[i] = a;
        dst[i + 1] = b;
        dst[i + 2] = c;
        dst[i + 3] = d;
    }
    for (; i < bytes; ++i)
        dst[i] = table[src[i]];
}

void copyRow(const uchar* src, uchar* dst, int width)
{
    if (src != dst)
        std::memcpy(dst, src, size_t(3) * size_t(width));
}

void greyRow(const uchar* src, uchar* dst, int width, const ByteTable& after)
{
    for (int x = 0; x < width; ++x, src += 3, dst += 3) {
        const unsigned v = (77u * src[2] + 150u * src[1] + 29u * src[0]) >> 8;
        dst[0] = dst[1] = dst[2] = after[v];
    }
}

void sepiaRow(const uchar* src, uchar* dst, int width, const SepiaTable& table)
{
    for (int x = 0; x < width; ++x, src += 3, dst += 3) {
        const unsigned a = (unsigned{src[0]} + src[1] + src[2]) / 3u;
        dst[0] = table[3 * a];
        dst[1] = table[3 * a + 1];
        dst[2] = table[3 * a + 2];
    }
}

// Flaxen, step x of a row: R(x) = (R(x) + G(x+1) + B(x+2)) div 3, then
// G(x+1) = (G(x) + G(x+1) + B(x+2)) div 3, then B(x+1) = (B(x) + G(x+1) + B(x+2)) div 3.
// Red and the neighbours' bytes are read before any step changes them, so only pixel x's
// blue and green need carrying from the step before. At the row's end the missing
// neighbours repeat the row's last pixel as it stands at that moment (for step width - 2
// its untouched blue; for step width - 1 its own carried blue and green), and what step
// width - 1 would write past the end is dropped: nothing outside the row is read or written.
struct FlaxenTables
{
    ByteTable after;
    /// after[s div 3] for every sum s of three bytes: red in one look-up.
    std::array<quint8, 3 * 255 + 1> afterThird;

    explicit FlaxenTables(const ByteTable& table) : after(table)
    {
        for (int s = 0; s <= 3 * 255; ++s)
            afterThird[s] = after[s / 3];
    }
};

class FlaxenCursor
{
public:
    FlaxenCursor(const uchar* src, uchar* dst) : s(src), d(dst), b(src[0]), g(src[1]) {}

    /// Step x, for x + 2 < width.
    void stepInside(const FlaxenTables& t) { step(s[4], s[6], t); }

    /// Steps width - 2 (when there is such a pixel) and width - 1.
    void finish(int width, const FlaxenTables& t)
    {
        if (width >= 2)
            step(s[4], s[3], t);
        step(g, b, t);
    }

private:
    void step(unsigned g1, unsigned b2, const FlaxenTables& t)
    {
        const unsigned c = g1 + b2;
        const unsigned red = unsigned{s[2]} + c;
        const unsigned nextG = (g + c) / 3u;
        const unsigned nextB = (b + nextG + b2) / 3u;
        d[0] = t.after[b];
        d[1] = t.after[g];
        d[2] = t.afterThird[red];
        g = nextG;
        b = nextB;
        s += 3;
        d += 3;
    }

    const uchar* s;
    uchar* d;
    unsigned b;
    unsigned g;
};

void flaxenRow(const uchar* src, uchar* dst, int width, const FlaxenTables& t)
{
    FlaxenCursor row(src, dst);
    for (qsizetype n = qsizetype{width} - 2; n > 0; --n)
        row.stepInside(t);
    row.finish(width, t);
}

/// Two rows of equal width side by side: each row carries a chain of divisions from pixel to
/// pixel, and interleaving two independent chains lets the processor overlap them.
void flaxenRowPair(const uchar* srcA, uchar* dstA, const uchar* srcB, uchar* dstB, int width,
                   const FlaxenTables& t)
{
    FlaxenCursor a(srcA, dstA);
    FlaxenCursor b(srcB, dstB);
    for (qsizetype n = qsizetype{width} - 2; n > 0; --n) {
        a.stepInside(t);
        b.stepInside(t);
    }
    a.finish(width, t);
    b.finish(width, t);
}

// Runs rowFn(y) for every y in [0, count); rows must be independent. Large jobs are shared
// between one thread per core (the calling thread included), which take chunks of rows in
// turn, so a thread that the system holds back leaves its share to the others. Every row
// is done when this returns.
constexpr qsizetype kParallelBytes = qsizetype{1} << 19;
constexpr qsizetype kChunkBytes = qsizetype{1} << 16;
constexpr unsigned kMaxWorkers = 8;

template <class RowFn> void forEachRow(int count, qsizetype bytesPerRow, const RowFn& rowFn)
{
    if (count <= 0)
        return;
    unsigned workers = 1;
    if (bytesPerRow > 0 && qsizetype{count} * bytesPerRow >= kParallelBytes)
        workers = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
    if (workers == 1) {
        for (int y = 0; y < count; ++y)
            rowFn(y);
        return;
    }
    // 64-bit counting: the counter runs past `count` by a chunk per thread at the end.
    const qsizetype chunk = std::clamp<qsizetype>(kChunkBytes / bytesPerRow, 1, count);
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        for (qsizetype begin; (begin = next.fetch_add(chunk, std::memory_order_relaxed)) < count;) {
            const qsizetype end = std::min<qsizetype>(begin + chunk, count);
            for (qsizetype y = begin; y < end; ++y)
                rowFn(int(y));
        }
    };
    std::vector<std::thread> threads;
    try {
        threads.reserve(workers - 1);
        while (threads.size() < workers - 1)
            threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than cores: those there are share all the rows.
    } catch (const std::bad_alloc&) {
    }
    work();
    for (std::thread& t : threads)
        t.join();
}

/// The rows of one pass; source and destination are the same rows when working in place.
struct Planes
{
    const uchar* src = nullptr;
    qsizetype srcStride = 0;
    uchar* dst = nullptr;
    qsizetype dstStride = 0;
    int width = 0;
    int height = 0;
};

template <class RowKernel> void runRows(const Planes& p, const RowKernel& rowKernel)
{
    forEachRow(p.height, qsizetype{3} * p.width, [&](int y) {
        rowKernel(p.src + y * p.srcStride, p.dst + y * p.dstStride, p.width);
    });
}

void runTable(const Planes& p, const ByteTable& table)
{
    if (!isIdentity(table))
        runRows(p, [&](const uchar* s, uchar* d, int w) { tableRow(s, d, w, table); });
    else if (p.src != p.dst)
        runRows(p, copyRow);
}

void runFlaxen(const Planes& p, const ByteTable& after)
{
    if (p.width <= 0)
        return;
    const FlaxenTables tables(after);
    forEachRow((p.height + 1) / 2, qsizetype{6} * p.width, [&](int pair) {
        const int y = 2 * pair;
        const uchar* s = p.src + y * p.srcStride;
        uchar* d = p.dst + y * p.dstStride;
        if (y + 1 < p.height)
            flaxenRowPair(s, d, s + p.srcStride, d + p.dstStride, p.width, tables);
        else
            flaxenRow(s, d, p.width, tables);
    });
}

/// The rows of `bitmap` for working in place, after converting it to Format_BGR888 when
/// needed; nothing when there are no pixels to work on.
std::optional<Planes> inPlace(QImage& bitmap)
{
    if (bitmap.isNull())
        return std::nullopt;
    if (bitmap.format() != QImage::Format_BGR888)
        bitmap.convertTo(QImage::Format_BGR888);
    if (bitmap.isNull() || bitmap.format() != QImage::Format_BGR888)
        return std::nullopt;
    // Row pointers are taken here, on the calling thread: bits() detaches a shared image.
    uchar* const bits = bitmap.bits();
    if (!bits)
        return std::nullopt;
    const qsizetype stride = bitmap.bytesPerLine();
    return Planes{bits, stride, bits, stride, bitmap.width(), bitmap.height()};
}

void applyTable(QImage& bitmap, const ByteTable& table)
{
    if (const auto rows = inPlace(bitmap))
        runTable(*rows, table);
}

void copyMetadata(const QImage& from, QImage& to)
{
    to.setDotsPerMeterX(from.dotsPerMeterX());
    to.setDotsPerMeterY(from.dotsPerMeterY());
    to.setOffset(from.offset());
    to.setDevicePixelRatio(from.devicePixelRatio());
    to.setColorSpace(from.colorSpace());
    const QStringList keys = from.textKeys();
    for (const QString& key : keys)
        to.setText(key, from.text(key));
}

} // namespace

quint8 clampToByte(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<quint8>(v);
}

void applyGreyscale(QImage& bitmap)
{
    const ByteTable same = identityTable();
    if (const auto rows = inPlace(bitmap))
        runRows(*rows, [&](const uchar* s, uchar* d, int w) { greyRow(s, d, w, same); });
}

void applySepia(QImage& bitmap, quint8 level)
{
    const SepiaTable table = sepiaTable(level, identityTable());
    if (const auto rows = inPlace(bitmap))
        runRows(*rows, [&](const uchar* s, uchar* d, int w) { sepiaRow(s, d, w, table); });
}

void applyFlaxen(QImage& bitmap)
{
    if (const auto rows = inPlace(bitmap))
        runFlaxen(*rows, identityTable());
}

void applyNegative(QImage& bitmap)
{
    applyTable(bitmap, negativeTable());
}

void brighten(QImage& bitmap, int n)
{
    applyTable(bitmap, brightenTable(n));
}

void darken(QImage& bitmap, int n)
{
    applyTable(bitmap, darkenTable(n));
}

void adjustContrast(QImage& bitmap, int n)
{
    applyTable(bitmap, contrastTable(n));
}

void mirrorPhoto(QImage& bitmap)
{
    const auto mirrorRow = [](const uchar*, uchar* row, int width) {
        for (qsizetype x = 0, y = qsizetype{width} - 1; x < y; ++x, --y)
            std::swap_ranges(row + 3 * x, row + 3 * x + 3, row + 3 * y);
    };
    if (const auto rows = inPlace(bitmap))
        runRows(*rows, mirrorRow);
}

void flipPhoto(QImage& bitmap)
{
    // Whole rows are swapped, so any pixel format works and stays as it is.
    if (bitmap.isNull())
        return;
    uchar* const bits = bitmap.bits();
    if (!bits)
        return;
    const qsizetype stride = bitmap.bytesPerLine();
    const int height = bitmap.height();
    forEachRow(height / 2, stride * 2, [&](int y) {
        uchar* top = bits + y * stride;
        std::swap_ranges(top, top + stride, bits + (height - 1 - y) * stride);
    });
}

namespace {

/// Runs the effect, then brightness and contrast, from \a rows.src into \a rows.dst.
void adjustRows(const Planes& rows, PhotoEffect effect, quint8 sepiaLevel, int brightness,
                int contrast)
{
    // One pass per row: the effect, then brightness and contrast as one composed table.
    const ByteTable after =
        compose(brightnessTable(brightness), contrastTable(qint64{contrast} - 255));
    switch (effect) {
    case PhotoEffect::Greyscale:
        runRows(rows, [&](const uchar* s, uchar* d, int w) { greyRow(s, d, w, after); });
        break;
    case PhotoEffect::Sepia: {
        const SepiaTable table = sepiaTable(sepiaLevel, after);
        runRows(rows, [&](const uchar* s, uchar* d, int w) { sepiaRow(s, d, w, table); });
        break;
    }
    case PhotoEffect::Flaxen:
        runFlaxen(rows, after);
        break;
    case PhotoEffect::Negative:
        runTable(rows, compose(negativeTable(), after));
        break;
    case PhotoEffect::None:
    default:
        runTable(rows, after);
        break;
    }
}

/// Adjusts \a picture (Format_BGR888) in place; false when it cannot be written.
bool adjustInPlace(QImage& picture, PhotoEffect effect, quint8 sepiaLevel, int brightness,
                   int contrast)
{
    Planes rows;
    rows.dst = picture.bits();
    if (!rows.dst)
        return false;
    rows.dstStride = picture.bytesPerLine();
    rows.src = rows.dst;
    rows.srcStride = rows.dstStride;
    rows.width = picture.width();
    rows.height = picture.height();
    adjustRows(rows, effect, sepiaLevel, brightness, contrast);
    return true;
}

} // namespace

QImage applyPhotoAdjustments(const QImage& base, PhotoEffect effect, quint8 sepiaLevel,
                             int brightness, int contrast)
{
    return applyPhotoAdjustments(base, effect, sepiaLevel, brightness, contrast, QImage());
}

QImage applyPhotoAdjustments(const QImage& base, PhotoEffect effect, quint8 sepiaLevel,
                             int brightness, int contrast, QImage&& reuse)
{
    if (base.isNull())
        return {};
    if (base.format() != QImage::Format_BGR888) {
        // The conversion is the copy; the steps then run on it in place.
        QImage result = base.convertToFormat(QImage::Format_BGR888);
        if (result.isNull() || result.format() != QImage::Format_BGR888 ||
            !adjustInPlace(result, effect, sepiaLevel, brightness, contrast))
            return {};
        return result;
    }
    // A picture nobody else holds is written over: its pages are already the process's, so
    // the pass costs no page faults, and nothing is freed and allocated again.
    const bool reusable = reuse.format() == QImage::Format_BGR888 && reuse.size() == base.size() &&
                          reuse.isDetached();
    QImage result = reusable ? std::move(reuse) : QImage(base.size(), QImage::Format_BGR888);
    if (result.isNull())
        return {};
    copyMetadata(base, result);
    Planes rows;
    rows.src = base.constBits();
    rows.srcStride = base.bytesPerLine();
    rows.dst = result.bits();
    rows.dstStride = result.bytesPerLine();
    if (!rows.src || !rows.dst)
        return {};
    rows.width = result.width();
    rows.height = result.height();
    adjustRows(rows, effect, sepiaLevel, brightness, contrast);
    return result;
}

QImage applyPhotoAdjustments(QImage&& base, PhotoEffect effect, quint8 sepiaLevel, int brightness,
                             int contrast)
{
    if (base.isNull() || base.format() != QImage::Format_BGR888 || !base.isDetached())
        return applyPhotoAdjustments(std::as_const(base), effect, sepiaLevel, brightness, contrast);
    QImage result = std::move(base);
    if (!adjustInPlace(result, effect, sepiaLevel, brightness, contrast))
        return {};
    return result;
}

bool adjustsPhoto(const StampAttributes& attributes)
{
    return attributes.effect != PhotoEffect::None || attributes.brightness != 255 ||
           attributes.contrast != 255;
}

bool resetAdjustmentsOnOpen(StampAttributes& attributes)
{
    // Only a "0" resets; any other character, or none at all, keeps the setting.
    const QString& flags = attributes.keepFlags;
    bool effectReset = false;
    if (flags.size() >= 1 && flags.at(0) == u'0') {
        attributes.effect = PhotoEffect::None;
        effectReset = true;
    }
    if (flags.size() >= 3 && flags.at(2) == u'0') {
        attributes.brightness = 255;
        attributes.contrast = 255;
    }
    return effectReset;
}

QImage scaledForDisplay(const QImage& picture, QSize size)
{
    if (picture.isNull() || size.isEmpty())
        return QImage();
    constexpr int Oversample = 4;
    const QSize sampled = size * Oversample;
    if (picture.width() > sampled.width() && picture.height() > sampled.height())
        return picture.scaled(sampled, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace tess::adjust
