#include "metadata/JpegCodec.h"

#include "metadata/JpegErrorManager.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <jerror.h>
#include <memory>
#include <new>
#include <vector>

namespace tess::metadata {

namespace {

constexpr int kRowBand = 16; // rows handed to libjpeg per call
constexpr quint8 kSos = 0xDA;

// ---------------------------------------------------------------------------------------
// Decoding

/// What a stream really holds, counted as libjpeg reads it: the scans (SOS markers) and the
/// bytes of entropy-coded data after them, up to EOI. Segments are skipped by their lengths and
/// bytes between markers are passed over, as libjpeg does, so neither counts. Fed in chunks.
class ScanData
{
public:
    void feed(QByteArrayView bytes)
    {
        const char* p = bytes.data();
        const char* const end = p + bytes.size();
        while (p < end && m_state != State::End) {
            switch (m_state) {
            case State::Seek:
            case State::Data: {
                const auto* ff = static_cast<const char*>(std::memchr(p, 0xFF, size_t(end - p)));
                const char* const stop = ff ? ff : end;
                if (m_state == State::Data)
                    m_dataBytes += stop - p;
                p = stop;
                if (ff) {
                    m_state = m_state == State::Data ? State::DataFF : State::SeekFF;
                    ++p;
                }
                break;
            }
            case State::SeekFF:
            case State::DataFF: {
                const quint8 b = quint8(*p++);
                if (b == 0xFF)
                    break; // fill bytes before a marker
                const bool inData = m_state == State::DataFF;
                if (b == 0x00 || (inData && b >= 0xD0 && b <= 0xD7)) {
                    // A stuffed zero or a restart marker: within the data, part of it.
                    if (inData)
                        m_dataBytes += 2;
                    m_state = inData ? State::Data : State::Seek;
                    break;
                }
                marker(b);
                break;
            }
            case State::LengthHigh:
                m_remaining = qint64(quint8(*p++)) << 8;
                m_state = State::LengthLow;
                break;
            case State::LengthLow:
                m_remaining = std::max<qint64>(0, (m_remaining | quint8(*p++)) - 2);
                m_state = State::Payload;
                break;
            case State::Payload: {
                const qint64 skip = std::min<qint64>(m_remaining, end - p);
                p += skip;
                m_remaining -= skip;
                break;
            }
            case State::End:
                break;
            }
            if (m_state == State::Payload && m_remaining == 0) {
                if (m_marker == kSos)
                    ++m_scans;
                m_state = m_marker == kSos ? State::Data : State::Seek;
            }
        }
    }

    bool finished() const { return m_state == State::End; }
    qint64 dataBytes() const { return m_dataBytes; }
    int scans() const { return m_scans; }

private:
    enum class State
    {
        Seek,
        SeekFF,
        LengthHigh,
        LengthLow,
        Payload,
        Data,
        DataFF,
        End
    };

    void marker(quint8 b)
    {
        if (b == JPEG_EOI)
            m_state = State::End;
        else if (b == 0xD8 || b == 0x01 || (b >= 0xD0 && b <= 0xD7))
            m_state = State::Seek; // SOI, TEM and a stray restart marker stand alone
        else {
            m_marker = b;
            m_state = State::LengthHigh;
        }
    }

    State m_state = State::Seek;
    quint8 m_marker = 0;
    qint64 m_remaining = 0;
    qint64 m_dataBytes = 0;
    int m_scans = 0;
};

/// A libjpeg source that reads a QIODevice in chunks, as jpeg_stdio_src reads a FILE.
struct DeviceSource
{
    jpeg_source_mgr pub{};
    QIODevice* device = nullptr;
    bool startOfFile = true;
    JOCTET buffer[64 * 1024];

    static DeviceSource* of(j_decompress_ptr cinfo)
    {
        return reinterpret_cast<DeviceSource*>(cinfo->src);
    }

    static void init(j_decompress_ptr cinfo) { of(cinfo)->startOfFile = true; }

    static boolean fill(j_decompress_ptr cinfo)
    {
        DeviceSource* self = of(cinfo);
        qint64 n = self->device->read(reinterpret_cast<char*>(self->buffer), sizeof self->buffer);
        if (n <= 0) {
            if (self->startOfFile)
                ERREXIT(cinfo, JERR_INPUT_EMPTY);
            WARNMS(cinfo, JWRN_JPEG_EOF);
            // A fake end-of-image marker lets libjpeg finish the picture with grey rows.
            self->buffer[0] = 0xFF;
            self->buffer[1] = JPEG_EOI;
            n = 2;
        }
        self->pub.next_input_byte = self->buffer;
        self->pub.bytes_in_buffer = std::size_t(n);
        self->startOfFile = false;
        return TRUE;
    }

    static void skip(j_decompress_ptr cinfo, long count)
    {
        DeviceSource* self = of(cinfo);
        if (count <= 0)
            return;
        if (std::size_t(count) <= self->pub.bytes_in_buffer) {
            self->pub.next_input_byte += count;
            self->pub.bytes_in_buffer -= std::size_t(count);
            return;
        }
        const qint64 beyond = qint64(count) - qint64(self->pub.bytes_in_buffer);
        self->pub.bytes_in_buffer = 0;
        self->device->skip(beyond); // a short skip means end of file: the next fill says so
    }

    static void term(j_decompress_ptr) {}

    void install(j_decompress_ptr cinfo, QIODevice* from)
    {
        device = from;
        pub.init_source = &DeviceSource::init;
        pub.fill_input_buffer = &DeviceSource::fill;
        pub.skip_input_data = &DeviceSource::skip;
        pub.resync_to_restart = &jpeg_resync_to_restart;
        pub.term_source = &DeviceSource::term;
        pub.bytes_in_buffer = 0;
        pub.next_input_byte = nullptr;
        cinfo->src = &pub;
    }
};

/// Everything a decoding changes after setjmp(), kept out of the jumping function's locals.
struct DecodeJob
{
    jpeg_decompress_struct cinfo{};
    JpegErrorManager errors;
    DecodeLimits limits;
    ScanData data;
    QByteArrayView memory;                // the stream, when decoding from memory
    std::unique_ptr<DeviceSource> device; // the stream, when decoding from a file
    bool headerOnly = false;              // judge the stream's claims, decode nothing
    std::vector<JSAMPLE> cmykRow;
    QImage image;
    bool created = false;
};

void cmykToBgr(const JSAMPLE* cmyk, uchar* bgr, int width, bool adobeInverted)
{
    // Adobe writes CMYK inverted (255 = no ink), which makes the conversion a plain product.
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!adobeInverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = uchar((y * k + 127) / 255);
        bgr[1] = uchar((m * k + 127) / 255);
        bgr[2] = uchar((c * k + 127) / 255);
    }
}

/// Runs the whole decoding; a libjpeg error jumps back here. Returns false on failure with the
/// reason in job.errors.message.
bool runDecode(DecodeJob& job)
{
    j_decompress_ptr cinfo = &job.cinfo;
    job.errors.maxScans = job.limits.maxScans;
    job.errors.maxWarnings = job.limits.maxWarnings;
    job.errors.attach(reinterpret_cast<j_common_ptr>(cinfo));
    if (setjmp(job.errors.jump))
        return false;

    job.created = true; // destroying a struct that was never fully created is safe
    jpeg_create_decompress(cinfo);
    // jpeg_create_decompress resets the hooks that do not belong to the error manager.
    cinfo->progress = &job.errors.progress;
    cinfo->mem->max_memory_to_use = job.limits.maxLibjpegMemory;
    if (job.device)
        job.device->install(cinfo, job.device->device);
    else
        jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(job.memory.data()),
                     static_cast<unsigned long>(job.memory.size()));

    jpeg_read_header(cinfo, TRUE);

    const qint64 pixels = qint64(cinfo->image_width) * qint64(cinfo->image_height);
    if (pixels > job.limits.maxPixels)
        JpegErrorManager::fail(reinterpret_cast<j_common_ptr>(cinfo),
                               "The picture is too large to open");
    // What the decoding will take, before any of it is allocated: the picture, and for a
    // stream of several scans libjpeg's coefficients of the whole picture.
    const bool multiScan = jpeg_has_multiple_scans(cinfo);
    qint64 memory = pixels * 3;
    if (multiScan) {
        for (int c = 0; c < cinfo->num_components; ++c) {
            const jpeg_component_info& component = cinfo->comp_info[c];
            memory += qint64(component.width_in_blocks) * qint64(component.height_in_blocks) *
                      qint64(sizeof(JBLOCK));
        }
    }
    const qint64 budget =
        std::max(job.limits.minMemory, job.data.dataBytes() * job.limits.memoryPerDataByte);
    if (memory > budget)
        JpegErrorManager::fail(reinterpret_cast<j_common_ptr>(cinfo),
                               "The picture claims far more pixels than its data holds");
    if (multiScan) {
        const qint64 work =
            std::max(job.limits.minScanWork, job.data.dataBytes() * job.limits.scanWorkPerDataByte);
        const qint64 scans = work / std::max<qint64>(1, pixels);
        job.errors.maxScans = int(std::clamp<qint64>(scans, 1, job.limits.maxScans));
        if (job.data.scans() > job.errors.maxScans)
            JpegErrorManager::fail(reinterpret_cast<j_common_ptr>(cinfo),
                                   "Too many scans in a progressive JPEG");
    }
    if (job.headerOnly)
        return true;

    // Damaged photos from real cameras can warn once per restart interval and still show
    // most of the picture: beyond the header, allow up to one warning per 8 x 8 block.
    job.errors.maxWarnings = std::max(job.limits.maxWarnings, long(pixels / 64));

    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(cinfo);

    const int width = int(cinfo->output_width);
    const int height = int(cinfo->output_height);
    if (cinfo->output_components != (cmyk ? 4 : 3))
        JpegErrorManager::fail(reinterpret_cast<j_common_ptr>(cinfo),
                               "Unsupported JPEG colour layout");
    job.image = QImage(width, height, QImage::Format_BGR888);
    if (job.image.isNull())
        JpegErrorManager::fail(reinterpret_cast<j_common_ptr>(cinfo),
                               "Not enough memory for the picture");
    if (cmyk)
        job.cmykRow.resize(std::size_t(width) * 4);

    uchar* const bits = job.image.bits();
    const qsizetype stride = job.image.bytesPerLine();
    const bool adobeInverted = cinfo->saw_Adobe_marker;
    JSAMPROW rows[kRowBand];
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION first = cinfo->output_scanline;
        JDIMENSION got;
        if (cmyk) {
            rows[0] = job.cmykRow.data();
            got = jpeg_read_scanlines(cinfo, rows, 1);
            if (got == 1)
                cmykToBgr(job.cmykRow.data(), bits + stride * first, width, adobeInverted);
        } else {
            const int band = std::min<int>(kRowBand, int(cinfo->output_height - first));
            for (int i = 0; i < band; ++i)
                rows[i] = bits + stride * (first + JDIMENSION(i));
            got = jpeg_read_scanlines(cinfo, rows, JDIMENSION(band));
        }
        if (got == 0) {
            // Cannot happen with sources that never suspend; keep the rows grey regardless.
            for (JDIMENSION y = first; y < cinfo->output_height; ++y)
                std::memset(bits + stride * y, 128, std::size_t(width) * 3);
            break;
        }
    }
    // The rest of the stream (normally just EOI) is not needed: destroying is enough.
    return true;
}

LoadResult finishDecode(DecodeJob& job)
{
    bool ok = false;
    try {
        ok = runDecode(job);
    } catch (const std::bad_alloc&) {
        // Only Qt or the standard library allocate outside libjpeg; none of it sits
        // between a libjpeg frame and here.
        std::strncpy(job.errors.message, "Not enough memory", sizeof job.errors.message - 1);
    }
    if (job.created)
        jpeg_destroy_decompress(&job.cinfo);
    LoadResult result;
    if (ok)
        result.image = std::move(job.image);
    else
        result.error = QString::fromLatin1(job.errors.message[0] ? job.errors.message
                                                                 : "The JPEG could not be decoded");
    return result;
}

// ---------------------------------------------------------------------------------------
// Encoding

/// A libjpeg destination growing a QByteArray.
struct ByteArrayDestination
{
    jpeg_destination_mgr pub{};
    QByteArray* out = nullptr;
    qsizetype initialSize = 64 * 1024;

    static ByteArrayDestination* of(j_compress_ptr cinfo)
    {
        return reinterpret_cast<ByteArrayDestination*>(cinfo->dest);
    }

    static bool grow(j_compress_ptr cinfo, qsizetype size)
    {
        try {
            of(cinfo)->out->resize(size);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    static void init(j_compress_ptr cinfo)
    {
        ByteArrayDestination* self = of(cinfo);
        if (!grow(cinfo, self->initialSize))
            ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
        self->pub.next_output_byte = reinterpret_cast<JOCTET*>(self->out->data());
        self->pub.free_in_buffer = std::size_t(self->out->size());
    }

    static boolean empty(j_compress_ptr cinfo)
    {
        ByteArrayDestination* self = of(cinfo);
        const qsizetype used = self->out->size();
        if (used > (qsizetype(1) << 40) || !grow(cinfo, used * 2))
            ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
        self->pub.next_output_byte = reinterpret_cast<JOCTET*>(self->out->data()) + used;
        self->pub.free_in_buffer = std::size_t(self->out->size() - used);
        return TRUE;
    }

    static void term(j_compress_ptr cinfo)
    {
        ByteArrayDestination* self = of(cinfo);
        self->out->resize(self->out->size() - qsizetype(self->pub.free_in_buffer));
    }

    void install(j_compress_ptr cinfo, QByteArray* target)
    {
        out = target;
        pub.init_destination = &ByteArrayDestination::init;
        pub.empty_output_buffer = &ByteArrayDestination::empty;
        pub.term_destination = &ByteArrayDestination::term;
        cinfo->dest = &pub;
    }
};

struct EncodeJob
{
    jpeg_compress_struct cinfo{};
    JpegErrorManager errors;
    ByteArrayDestination destination;
    QImage picture; // Format_BGR888
    int quality = 75;
    const EncodeProgress* progress = nullptr;
    QByteArray out;
    bool created = false;
    bool cancelled = false;
};

bool runEncode(EncodeJob& job)
{
    j_compress_ptr cinfo = &job.cinfo;
    job.errors.attach(reinterpret_cast<j_common_ptr>(cinfo));
    if (setjmp(job.errors.jump))
        return false;

    job.created = true;
    jpeg_create_compress(cinfo);
    cinfo->progress = nullptr;
    // A rough guess of the compressed size saves most regrowing of the buffer.
    job.destination.initialSize =
        std::max<qsizetype>(64 * 1024, qsizetype(job.picture.width()) * job.picture.height() / 2);
    job.destination.install(cinfo, &job.out);

    cinfo->image_width = JDIMENSION(job.picture.width());
    cinfo->image_height = JDIMENSION(job.picture.height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, job.quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);

    const int height = job.picture.height();
    const uchar* const bits = job.picture.constBits();
    const qsizetype stride = job.picture.bytesPerLine();
    JSAMPROW rows[kRowBand];
    while (cinfo->next_scanline < cinfo->image_height) {
        const JDIMENSION first = cinfo->next_scanline;
        const int band = std::min<int>(kRowBand, height - int(first));
        for (int i = 0; i < band; ++i)
            rows[i] = const_cast<JSAMPROW>(bits + stride * (first + JDIMENSION(i)));
        if (jpeg_write_scanlines(cinfo, rows, JDIMENSION(band)) == 0)
            JpegErrorManager::fail(reinterpret_cast<j_common_ptr>(cinfo), "Encoder stalled");
        if (job.progress && *job.progress && !(*job.progress)(int(cinfo->next_scanline), height)) {
            job.cancelled = true;
            return false;
        }
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

LoadResult decodeJpeg(QByteArrayView bytes, const DecodeLimits& limits)
{
    DecodeJob job;
    job.limits = limits;
    job.memory = bytes;
    job.data.feed(bytes);
    return finishDecode(job);
}

QString jpegStreamRefusal(QByteArrayView bytes, const DecodeLimits& limits)
{
    DecodeJob job;
    job.limits = limits;
    job.memory = bytes;
    job.data.feed(bytes);
    job.headerOnly = true;
    return finishDecode(job).error;
}

namespace {

LoadResult readJpegFile(const QString& path, const DecodeLimits& limits, bool headerOnly)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {QImage(), QStringLiteral("The file does not exist")};
    QFile file(path);
    // libjpeg's source keeps its own buffer: a second one in QFile would only copy.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {QImage(), file.errorString()};
    DecodeJob job;
    job.limits = limits;
    // One pass to count the picture data, then the decoding from the start.
    std::vector<char> chunk(64 * 1024);
    while (!job.data.finished()) {
        const qint64 n = file.read(chunk.data(), qint64(chunk.size()));
        if (n <= 0)
            break;
        job.data.feed(QByteArrayView(chunk.data(), qsizetype(n)));
    }
    if (!file.seek(0))
        return {QImage(), file.errorString()};
    job.device = std::make_unique<DeviceSource>();
    job.device->device = &file;
    job.headerOnly = headerOnly;
    return finishDecode(job);
}

} // namespace

LoadResult decodeJpegFile(const QString& path, const DecodeLimits& limits)
{
    return readJpegFile(path, limits, false);
}

QString jpegRefusal(const QString& path, const DecodeLimits& limits)
{
    return readJpegFile(path, limits, true).error;
}

JpegEncoder::JpegEncoder(const QImage& picture, int quality)
    : m_picture(picture), m_quality(std::clamp(quality, 1, 100))
{}

EncodeResult JpegEncoder::encode() const
{
    EncodeResult result;
    if (m_picture.isNull()) {
        result.error = QStringLiteral("No picture to encode");
        return result;
    }
    EncodeJob job;
    try {
        job.picture = m_picture.format() == QImage::Format_BGR888
                          ? m_picture
                          : m_picture.convertToFormat(QImage::Format_BGR888);
        if (job.picture.isNull()) {
            result.error = QStringLiteral("Not enough memory for the picture");
            return result;
        }
        job.quality = m_quality;
        job.progress = &m_progress;
        if (runEncode(job))
            result.jpeg = std::move(job.out);
        else if (job.cancelled)
            result.error = QStringLiteral("Encoding was stopped");
        else
            result.error = QString::fromLatin1(job.errors.message);
    } catch (const std::bad_alloc&) {
        result.error = QStringLiteral("Not enough memory");
    }
    if (job.created)
        jpeg_destroy_compress(&job.cinfo);
    if (result.error.isEmpty() && result.jpeg.isEmpty())
        result.error = QStringLiteral("The encoder produced no data");
    return result;
}

} // namespace tess::metadata
