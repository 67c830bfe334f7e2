#include "metadata/LosslessJpeg.h"

#include "metadata/Exif.h"
#include "metadata/JpegCodec.h"
#include "metadata/JpegErrorManager.h"
#include "metadata/JpegSegments.h"
#include "metadata/Orientation.h"
#include "metadata/RestartIntervals.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <bitset>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tess::metadata {

namespace {

// ---------------------------------------------------------------------------------------
// The stored frame and the upright frame

/// Maps pixels between the stored frame (as the file holds it) and the upright frame (as the
/// photo shows by its EXIF orientation tag, 1..8).
struct Orientation
{
    int tag = 1;
    int storedWidth = 0;
    int storedHeight = 0;

    QSize storedSize() const { return QSize(storedWidth, storedHeight); }
    QSize uprightSize() const { return metadata::uprightSize(storedSize(), tag); }
    QPoint toUpright(int x, int y) const { return uprightPoint(QPoint(x, y), storedSize(), tag); }

    /// The stored-frame rectangle covering the upright rectangle \a r.
    QRect toStored(const QRect& r) const
    {
        const QPoint a = storedPoint(r.topLeft(), storedSize(), tag);
        const QPoint b = storedPoint(r.bottomRight(), storedSize(), tag);
        return QRect(a, b).normalized();
    }
};

// ---------------------------------------------------------------------------------------
// The libjpeg work

/// Everything the encoding changes after setjmp(), kept out of the jumping functions' locals.
struct Job
{
    JpegErrorManager errors;
    const QByteArray* source = nullptr;
    TimgData segments;               // the source's metadata, read once
    const QImage* stamped = nullptr; // Format_BGR888
    QRect changed;                   // upright frame
    int quality = 95;
    int orientationTag = 1;

    jpeg_decompress_struct src{};
    jpeg_compress_struct patchOut{};
    jpeg_decompress_struct patchIn{};
    jpeg_compress_struct dst{};
    bool srcCreated = false, patchOutCreated = false, patchInCreated = false, dstCreated = false;
    jvirt_barray_ptr* coefficients = nullptr;
    jvirt_barray_ptr* patchCoefficients = nullptr;

    QRect region; // stored frame, MCU-aligned (clipped to the picture)
    QImage patch; // the stamped pixels of region, in the stored frame
    std::array<std::array<quint16, DCTSIZE2>, 2> qualityTables{};
    unsigned char* patchBytes = nullptr;
    unsigned long patchSize = 0;
    unsigned char* outBytes = nullptr;
    unsigned long outSize = 0;
    QString refusal; // why the source cannot be kept; set before any libjpeg call fails
    std::vector<PatchedBlocks> patches; // one per component, empty when nothing changed
    QByteArray intervalFile;            // the restart-interval rewrite, when it was possible

    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job()
    {
        destroyPatch();
        destroyOutput();
        if (srcCreated)
            jpeg_destroy_decompress(&src);
    }

    void destroyPatch()
    {
        if (patchInCreated)
            jpeg_destroy_decompress(&patchIn);
        if (patchOutCreated)
            jpeg_destroy_compress(&patchOut);
        patchInCreated = patchOutCreated = false;
        std::free(patchBytes);
        patchBytes = nullptr;
        patchSize = 0;
    }

    void destroyOutput()
    {
        if (dstCreated)
            jpeg_destroy_compress(&dst);
        dstCreated = false;
        std::free(outBytes);
        outBytes = nullptr;
        outSize = 0;
    }

    j_common_ptr common(void* cinfo) { return reinterpret_cast<j_common_ptr>(cinfo); }
    /// Shares this job's error manager with one more libjpeg object (before jpeg_create_*).
    void share(j_common_ptr cinfo) { cinfo->err = &errors.pub; }
};

/// Opens the source and reads its header. Returns false with job.refusal set when the source
/// cannot be kept. Called after setjmp().
bool readHeader(Job& job)
{
    j_decompress_ptr src = &job.src;
    job.srcCreated = true;
    jpeg_create_decompress(src);
    src->progress = &job.errors.progress;
    src->mem->max_memory_to_use = DecodeLimits{}.maxLibjpegMemory;
    jpeg_mem_src(src, reinterpret_cast<const unsigned char*>(job.source->constData()),
                 static_cast<unsigned long>(job.source->size()));
    jpeg_read_header(src, TRUE);
    if (src->arith_code) {
        job.refusal = QStringLiteral("arithmetic coding");
        return false;
    }
    if (src->data_precision != 8) {
        job.refusal = QStringLiteral("%1-bit samples").arg(src->data_precision);
        return false;
    }
    const bool grey = src->jpeg_color_space == JCS_GRAYSCALE && src->num_components == 1;
    const bool ycc = src->jpeg_color_space == JCS_YCbCr && src->num_components == 3;
    if (!grey && !ycc) {
        job.refusal = src->jpeg_color_space == JCS_CMYK || src->jpeg_color_space == JCS_YCCK
                          ? QStringLiteral("CMYK colours")
                          : QStringLiteral("an unusual colour layout");
        return false;
    }
    for (int c = 0; c < src->num_components; ++c) {
        const JQUANT_TBL* table = src->quant_tbl_ptrs[src->comp_info[c].quant_tbl_no];
        if (!table) {
            job.refusal = QStringLiteral("a missing quantization table");
            return false;
        }
        // A decoder multiplies by the steps; the encoder and the coarsening divide by them.
        if (std::find(table->quantval, table->quantval + DCTSIZE2, 0) !=
            table->quantval + DCTSIZE2) {
            job.refusal = QStringLiteral("a quantization step of zero");
            return false;
        }
    }
    return true;
}

/// Reads every coefficient of the source. Called after setjmp().
bool readCoefficients(Job& job)
{
    job.coefficients = jpeg_read_coefficients(&job.src);
    if (job.errors.warnings > 0 || job.errors.reachedEnd || !job.coefficients) {
        job.refusal = QStringLiteral("damaged image data");
        return false;
    }
    return true;
}

/// \a encoded with the metadata segments in front, as the normal save writes them, for a
/// picture of the stored size; empty when \a encoded is no JPEG stream.
QByteArray withMetadata(const Job& job, const QByteArray& encoded)
{
    // The stored pixels are kept, so the orientation tag stays as stored too.
    return job.segments.composeJpeg(encoded,
                                    QSize(int(job.src.image_width), int(job.src.image_height)),
                                    SizeRecord::PictureSize, OrientationRecord::AsStored);
}

/// Writes the whole file with the restart intervals the stamp does not touch copied straight
/// from the source, when it has them. No libjpeg call.
void rewriteIntervals(Job& job)
{
    if (job.src.progressive_mode || job.src.restart_interval == 0)
        return;
    // The segments in front of an empty stream, the end of image left for the intervals.
    QByteArray file = withMetadata(job, QByteArray("\xFF\xD8\xFF\xD9", 4));
    file.chop(2);
    if (rewriteRestartIntervals(*job.source, job.patches, file))
        job.intervalFile = std::move(file);
}

/// The stamped pixels of job.region, turned into the stored frame. No libjpeg call.
bool buildPatch(Job& job, const Orientation& orientation)
{
    job.patch = QImage(job.region.size(), QImage::Format_BGR888);
    if (job.patch.isNull())
        return false;
    const QImage& stamped = *job.stamped;
    for (int y = 0; y < job.region.height(); ++y) {
        uchar* out = job.patch.scanLine(y);
        for (int x = 0; x < job.region.width(); ++x, out += 3) {
            const QPoint p = orientation.toUpright(job.region.x() + x, job.region.y() + y);
            std::memcpy(out, stamped.constScanLine(p.y()) + 3 * p.x(), 3);
        }
    }
    return true;
}

/// Compresses job.patch with the source's tables, sampling and colour space, and reads its
/// coefficients back. Called after setjmp().
void encodePatch(Job& job)
{
    j_decompress_ptr src = &job.src;
    j_compress_ptr out = &job.patchOut;
    job.share(job.common(out));
    job.patchOutCreated = true;
    jpeg_create_compress(out);
    jpeg_mem_dest(out, &job.patchBytes, &job.patchSize);
    out->image_width = JDIMENSION(job.patch.width());
    out->image_height = JDIMENSION(job.patch.height());
    out->input_components = 3;
    out->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(out);
    // The tables the chosen quality stands for: the stamp's blocks are held to them.
    jpeg_set_quality(out, job.quality, FALSE);
    for (int t = 0; t < 2; ++t)
        std::copy_n(out->quant_tbl_ptrs[t]->quantval, DCTSIZE2, job.qualityTables[t].begin());
    jpeg_set_colorspace(out, src->jpeg_color_space);
    for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
        if (!src->quant_tbl_ptrs[t])
            continue;
        if (!out->quant_tbl_ptrs[t])
            out->quant_tbl_ptrs[t] = jpeg_alloc_quant_table(job.common(out));
        std::copy_n(src->quant_tbl_ptrs[t]->quantval, DCTSIZE2, out->quant_tbl_ptrs[t]->quantval);
    }
    for (int c = 0; c < src->num_components; ++c) {
        out->comp_info[c].h_samp_factor = src->comp_info[c].h_samp_factor;
        out->comp_info[c].v_samp_factor = src->comp_info[c].v_samp_factor;
        out->comp_info[c].quant_tbl_no = src->comp_info[c].quant_tbl_no;
    }
    out->dct_method = JDCT_ISLOW;
    out->optimize_coding = TRUE; // any table will do: the patch is only read back
    jpeg_start_compress(out, TRUE);
    JSAMPROW row[1];
    while (out->next_scanline < out->image_height) {
        row[0] = job.patch.scanLine(int(out->next_scanline));
        jpeg_write_scanlines(out, row, 1);
    }
    jpeg_finish_compress(out);

    j_decompress_ptr in = &job.patchIn;
    job.share(job.common(in));
    job.patchInCreated = true;
    jpeg_create_decompress(in);
    jpeg_mem_src(in, job.patchBytes, job.patchSize);
    jpeg_read_header(in, TRUE);
    job.patchCoefficients = jpeg_read_coefficients(in);
}

/// Quantizes a coefficient held in steps of \a stored no finer than steps of \a wanted.
JCOEF coarsen(JCOEF value, int stored, int wanted)
{
    if (wanted <= stored || value == 0)
        return value;
    auto divide = [](long n, long d) { return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d); };
    const long steps = divide(long(value) * stored, wanted);
    return JCOEF(divide(steps * wanted, stored));
}

/// Reads the patch's blocks back, quantized no finer than the chosen quality, in the source's
/// block grid. Called after setjmp().
void collectPatch(Job& job)
{
    j_decompress_ptr src = &job.src;
    j_decompress_ptr in = &job.patchIn;
    const int mcuWidth = DCTSIZE * src->max_h_samp_factor;
    const int mcuHeight = DCTSIZE * src->max_v_samp_factor;
    auto wholeMcus = [](JDIMENSION blocks, int factor) {
        return int(blocks + JDIMENSION(factor) - 1) / factor * factor;
    };
    for (int c = 0; c < src->num_components; ++c) {
        const jpeg_component_info& comp = src->comp_info[c];
        const jpeg_component_info& patchComp = in->comp_info[c];
        PatchedBlocks& patch = job.patches[std::size_t(c)];
        patch.left = job.region.x() / mcuWidth * comp.h_samp_factor;
        patch.top = job.region.y() / mcuHeight * comp.v_samp_factor;
        // Both grids hold whole MCUs, padding blocks included.
        patch.columns = std::min(wholeMcus(patchComp.width_in_blocks, patchComp.h_samp_factor),
                                 wholeMcus(comp.width_in_blocks, comp.h_samp_factor) - patch.left);
        patch.rows = std::min(wholeMcus(patchComp.height_in_blocks, patchComp.v_samp_factor),
                              wholeMcus(comp.height_in_blocks, comp.v_samp_factor) - patch.top);
        patch.coefficients.resize(std::size_t(patch.columns) * std::size_t(patch.rows) * DCTSIZE2);
        const JQUANT_TBL* stored = src->quant_tbl_ptrs[comp.quant_tbl_no];
        const auto& wanted = job.qualityTables[c == 0 ? 0 : 1];
        qint16* to = patch.coefficients.data();
        for (int r = 0; r < patch.rows; ++r) {
            JBLOCKARRAY from = (*in->mem->access_virt_barray)(
                job.common(in), job.patchCoefficients[c], JDIMENSION(r), 1, FALSE);
            for (int b = 0; b < patch.columns; ++b)
                for (int k = 0; k < DCTSIZE2; ++k)
                    *to++ = coarsen(from[0][b][k], stored->quantval[k], wanted[k]);
        }
    }
}

/// Puts the patch's blocks in place of the source's. Called after setjmp().
void splicePatch(Job& job)
{
    j_decompress_ptr src = &job.src;
    for (int c = 0; c < src->num_components; ++c) {
        const PatchedBlocks& patch = job.patches[std::size_t(c)];
        for (int r = 0; r < patch.rows; ++r) {
            JBLOCKARRAY to = (*src->mem->access_virt_barray)(job.common(src), job.coefficients[c],
                                                             JDIMENSION(patch.top + r), 1, TRUE);
            for (int b = 0; b < patch.columns; ++b)
                std::copy_n(patch.block(r, b), DCTSIZE2, to[0][patch.left + b]);
        }
    }
}

/// Marks the symbols of a Huffman table.
std::bitset<256> symbolsOf(const JHUFF_TBL* table)
{
    std::bitset<256> present;
    if (!table)
        return present;
    int count = 0;
    for (int length = 1; length <= 16; ++length)
        count += table->bits[length];
    for (int i = 0; i < std::min(count, 256); ++i)
        present.set(table->huffval[i]);
    return present;
}

int magnitudeCategory(int value)
{
    int v = value < 0 ? -value : value;
    int bits = 0;
    for (; v; v >>= 1)
        ++bits;
    return bits;
}

/// True when the source's Huffman tables have a code for every symbol of the spliced
/// coefficients: every DC difference (in the order a single interleaved scan codes them,
/// restarts included) and the AC symbols of the changed region's blocks. Called after setjmp().
bool sourceTablesCodeAll(Job& job)
{
    j_decompress_ptr src = &job.src;
    const int n = src->num_components;
    std::array<std::bitset<256>, MAX_COMPONENTS> dcCodes{}, acCodes{};
    for (int c = 0; c < n; ++c) {
        const jpeg_component_info& comp = src->comp_info[c];
        if (comp.dc_tbl_no < 0 || comp.dc_tbl_no >= NUM_HUFF_TBLS || comp.ac_tbl_no < 0 ||
            comp.ac_tbl_no >= NUM_HUFF_TBLS)
            return false;
        dcCodes[std::size_t(c)] = symbolsOf(src->dc_huff_tbl_ptrs[comp.dc_tbl_no]);
        acCodes[std::size_t(c)] = symbolsOf(src->ac_huff_tbl_ptrs[comp.ac_tbl_no]);
        if (dcCodes[std::size_t(c)].none() || acCodes[std::size_t(c)].none())
            return false;
    }
    // A single component is coded block by block, several in MCUs of all their blocks.
    const bool single = n == 1;
    const int mcuWidth = single ? DCTSIZE : DCTSIZE * src->max_h_samp_factor;
    const int mcuHeight = single ? DCTSIZE : DCTSIZE * src->max_v_samp_factor;
    const int mcuColumns =
        single ? int(src->comp_info[0].width_in_blocks)
               : int((src->image_width + JDIMENSION(mcuWidth) - 1) / JDIMENSION(mcuWidth));
    const int mcuRows =
        single ? int(src->comp_info[0].height_in_blocks)
               : int((src->image_height + JDIMENSION(mcuHeight) - 1) / JDIMENSION(mcuHeight));
    const int regionLeft = job.region.isEmpty() ? 0 : job.region.left() / mcuWidth;
    const int regionRight = job.region.isEmpty() ? -1 : job.region.right() / mcuWidth;
    const int regionTop = job.region.isEmpty() ? 0 : job.region.top() / mcuHeight;
    const int regionBottom = job.region.isEmpty() ? -1 : job.region.bottom() / mcuHeight;
    std::array<int, MAX_COMPONENTS> predictor{};
    long mcusToRestart = long(src->restart_interval);
    for (int row = 0; row < mcuRows; ++row) {
        std::array<JBLOCKARRAY, MAX_COMPONENTS> blocks{};
        for (int c = 0; c < n; ++c) {
            const int v = single ? 1 : src->comp_info[c].v_samp_factor;
            blocks[std::size_t(c)] = (*src->mem->access_virt_barray)(
                job.common(src), job.coefficients[c], JDIMENSION(row * v), JDIMENSION(v), FALSE);
        }
        const bool rowInRegion = row >= regionTop && row <= regionBottom;
        for (int column = 0; column < mcuColumns; ++column) {
            if (src->restart_interval) {
                if (mcusToRestart == 0) {
                    predictor.fill(0);
                    mcusToRestart = long(src->restart_interval);
                }
                --mcusToRestart;
            }
            const bool inRegion = rowInRegion && column >= regionLeft && column <= regionRight;
            for (int c = 0; c < n; ++c) {
                const int h = single ? 1 : src->comp_info[c].h_samp_factor;
                const int v = single ? 1 : src->comp_info[c].v_samp_factor;
                for (int y = 0; y < v; ++y) {
                    for (int x = 0; x < h; ++x) {
                        const JCOEF* block = blocks[std::size_t(c)][y][column * h + x];
                        const int dc = block[0];
                        if (!dcCodes[std::size_t(c)].test(
                                std::size_t(magnitudeCategory(dc - predictor[std::size_t(c)]))))
                            return false;
                        predictor[std::size_t(c)] = dc;
                        if (!inRegion)
                            continue;
                        int run = 0;
                        for (int k = 1; k < DCTSIZE2; ++k) {
                            const int value = block[kZigZag[std::size_t(k)]];
                            if (value == 0) {
                                ++run;
                                continue;
                            }
                            for (; run > 15; run -= 16)
                                if (!acCodes[std::size_t(c)].test(0xF0))
                                    return false;
                            const int category = magnitudeCategory(value);
                            if (category > 10 ||
                                !acCodes[std::size_t(c)].test(std::size_t(run << 4 | category)))
                                return false;
                            run = 0;
                        }
                        if (run > 0 && !acCodes[std::size_t(c)].test(0x00))
                            return false;
                    }
                }
            }
        }
    }
    return true;
}

void copyHuffmanTable(j_compress_ptr dst, JHUFF_TBL*& to, const JHUFF_TBL* from)
{
    if (!from)
        return;
    if (!to)
        to = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(dst));
    std::memcpy(to->bits, from->bits, sizeof to->bits);
    std::memcpy(to->huffval, from->huffval, sizeof to->huffval);
    to->sent_table = FALSE;
}

/// Writes the spliced coefficients. Called after setjmp().
void writeOutput(Job& job, bool keepHuffmanTables)
{
    j_decompress_ptr src = &job.src;
    j_compress_ptr dst = &job.dst;
    job.share(job.common(dst));
    job.dstCreated = true;
    jpeg_create_compress(dst);
    jpeg_mem_dest(dst, &job.outBytes, &job.outSize);
    jpeg_copy_critical_parameters(src, dst);
    // The metadata segments are written in front by the caller, as for a normal save.
    dst->write_JFIF_header = FALSE;
    dst->write_Adobe_marker = FALSE;
    dst->restart_interval = src->restart_interval;
    if (src->progressive_mode) {
        jpeg_simple_progression(dst);
        dst->optimize_coding = TRUE;
    } else if (keepHuffmanTables) {
        dst->optimize_coding = FALSE;
        for (int t = 0; t < NUM_HUFF_TBLS; ++t) {
            copyHuffmanTable(dst, dst->dc_huff_tbl_ptrs[t], src->dc_huff_tbl_ptrs[t]);
            copyHuffmanTable(dst, dst->ac_huff_tbl_ptrs[t], src->ac_huff_tbl_ptrs[t]);
        }
        for (int c = 0; c < src->num_components; ++c) {
            dst->comp_info[c].dc_tbl_no = src->comp_info[c].dc_tbl_no;
            dst->comp_info[c].ac_tbl_no = src->comp_info[c].ac_tbl_no;
        }
    } else {
        dst->optimize_coding = TRUE;
    }
    jpeg_write_coefficients(dst, job.coefficients);
    jpeg_finish_compress(dst);
}

bool runLossless(Job& job)
{
    job.errors.maxWarnings = 0;
    job.errors.attach(job.common(&job.src));
    if (setjmp(job.errors.jump))
        return false;
    if (!readHeader(job))
        return false;
    job.patches.resize(std::size_t(job.src.num_components));

    const Orientation orientation{job.orientationTag, int(job.src.image_width),
                                  int(job.src.image_height)};
    if (orientation.uprightSize() != job.stamped->size()) {
        job.refusal = QStringLiteral("a picture whose size is not the photo's");
        return false;
    }
    if (!job.changed.isEmpty()) {
        const int mcuWidth = DCTSIZE * job.src.max_h_samp_factor;
        const int mcuHeight = DCTSIZE * job.src.max_v_samp_factor;
        const QRect stored = orientation.toStored(job.changed);
        const int left = stored.left() / mcuWidth * mcuWidth;
        const int top = stored.top() / mcuHeight * mcuHeight;
        const int right =
            std::min((stored.right() / mcuWidth + 1) * mcuWidth, int(job.src.image_width));
        const int bottom =
            std::min((stored.bottom() / mcuHeight + 1) * mcuHeight, int(job.src.image_height));
        job.region = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        if (!buildPatch(job, orientation))
            JpegErrorManager::fail(job.common(&job.src), "Not enough memory for the stamp");
        encodePatch(job);
        collectPatch(job);
    }
    rewriteIntervals(job);
    if (!job.intervalFile.isEmpty())
        return true;
    if (!readCoefficients(job))
        return false;
    splicePatch(job);
    const bool keep = !job.src.progressive_mode && sourceTablesCodeAll(job);
    writeOutput(job, keep);
    return true;
}

} // namespace

QRect changedRect(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format() || a.isNull())
        return a.rect() | b.rect();
    const int rowBytes = (a.width() * a.depth() + 7) / 8;
    const int pixelBytes = std::max(1, a.depth() / 8);
    int top = -1, bottom = -1, left = a.width(), right = -1;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        if (std::memcmp(p, q, std::size_t(rowBytes)) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int first = 0;
        while (first < rowBytes && p[first] == q[first])
            ++first;
        int last = rowBytes - 1;
        while (last > first && p[last] == q[last])
            --last;
        left = std::min(left, first / pixelBytes);
        right = std::max(right, last / pixelBytes);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

LosslessEncoding encodeLosslessJpeg(const QByteArray& source, const QImage& unstamped,
                                    const QImage& stamped, int quality)
{
    LosslessEncoding result;
    try {
        if (stamped.isNull() || unstamped.size() != stamped.size()) {
            result.error = QStringLiteral("no picture of the photo's size");
            return result;
        }
        const QImage picture = stamped.format() == QImage::Format_BGR888
                                   ? stamped
                                   : stamped.convertToFormat(QImage::Format_BGR888);
        const QImage before = unstamped.format() == QImage::Format_BGR888
                                  ? unstamped
                                  : unstamped.convertToFormat(QImage::Format_BGR888);
        // What a file may claim is judged as for opening it: by the picture data it holds.
        const QString refusal = jpegStreamRefusal(QByteArrayView(source));
        if (!refusal.isEmpty()) {
            result.error = QStringLiteral("damaged or unreadable data (%1)").arg(refusal);
            return result;
        }
        Job job;
        job.source = &source;
        job.stamped = &picture;
        job.changed = changedRect(before, picture);
        job.quality = std::clamp(quality, 1, 100);
        // The orientation the loader turned the photo by: the same reading of the same block.
        job.segments.loadSourceSegments(source);
        job.orientationTag = job.segments.orientation();
        if (!runLossless(job)) {
            result.error = !job.refusal.isEmpty()
                               ? job.refusal
                               : QStringLiteral("damaged or unreadable data (%1)")
                                     .arg(QString::fromLatin1(job.errors.message));
            return result;
        }
        result.intervalsCopied = !job.intervalFile.isEmpty();
        if (result.intervalsCopied) {
            result.jpeg = std::move(job.intervalFile);
        } else {
            result.jpeg = withMetadata(job, QByteArray(reinterpret_cast<const char*>(job.outBytes),
                                                       qsizetype(job.outSize)));
        }
        if (result.jpeg.isEmpty())
            result.error = QStringLiteral("the encoder produced no data");
    } catch (const std::bad_alloc&) {
        result.jpeg.clear();
        result.error = QStringLiteral("not enough memory");
    }
    return result;
}

LosslessSave saveLosslessJpeg(const QImage& unstamped, const QImage& stamped, int quality,
                              const QString& sourcePath, const QString& destPath)
{
    LosslessSave result;
    try {
        LosslessEncoding encoded;
        {
            QFile file(sourcePath);
            if (!file.open(QIODevice::ReadOnly)) {
                result.refused = true;
                result.error = file.errorString();
                return result;
            }
            // Read, not mapped: a file cut short or a card pulled out while it is encoded
            // must give an error, not end the process. The file is closed before the
            // destination, which may be the same file, is written.
            const QByteArray source = file.readAll();
            encoded = encodeLosslessJpeg(source, unstamped, stamped, quality);
        }
        if (!encoded.ok()) {
            result.refused = true;
            result.error = encoded.error;
            return result;
        }
        QString error;
        result.saved = platform::writeFileSafely(destPath, encoded.jpeg, &error);
        if (!result.saved)
            result.error = error;
    } catch (const std::bad_alloc&) {
        result.refused = true;
        result.error = QStringLiteral("not enough memory");
    }
    return result;
}

} // namespace tess::metadata
