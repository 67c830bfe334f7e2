#pragma once

// Small JPEG files made on the spot for the metadata tests: plain libjpeg encodings in every
// colour layout, hand-built segments and EXIF blocks, and segment lists read back.

#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <jpeglib.h>
#include <optional>
#include <vector>

namespace tess::test {

/// The bytes of a string literal, embedded NULs included, without its terminating NUL.
template <std::size_t N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, qsizetype(N - 1));
}

/// One pixel of a fixture, as the libjpeg input components (3 or 4 samples).
using SampleFn = std::function<void(int x, int y, JSAMPLE* samples)>;

struct LibjpegFixture
{
    int width = 32;
    int height = 16;
    J_COLOR_SPACE input = JCS_RGB;    ///< JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored = JCS_YCbCr; ///< the file's colour space
    bool adobeMarker = true;          ///< only for CMYK/YCCK
    bool progressive = false;
    bool optimize = false; ///< Huffman tables made for this picture alone
    bool arithmetic = false;
    int restartInterval = 0; ///< in MCUs; 0 for none
    int quality = 95;
    J_DCT_METHOD dct = JDCT_ISLOW;
    std::vector<jpeg_scan_info> scans; ///< a progressive scan script of its own, if not empty
    /// Per component, if not empty: its sampling factors and its own quantization table.
    struct Component
    {
        int h = 1, v = 1;
        std::array<quint16, DCTSIZE2> quant{};
    };
    std::vector<Component> components;
};

/// Encodes with plain libjpeg calls, independent of the program's own encoder.
inline QByteArray encodeWithLibjpeg(const LibjpegFixture& f, const SampleFn& sample)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(f.width);
    cinfo.image_height = JDIMENSION(f.height);
    const int components = f.input == JCS_GRAYSCALE ? 1 : f.input == JCS_CMYK ? 4 : 3;
    cinfo.input_components = components;
    cinfo.in_color_space = f.input;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, f.stored);
    if (f.stored == JCS_CMYK || f.stored == JCS_YCCK)
        cinfo.write_Adobe_marker = f.adobeMarker;
    jpeg_set_quality(&cinfo, f.quality, TRUE);
    cinfo.dct_method = f.dct;
    if (f.progressive)
        jpeg_simple_progression(&cinfo);
    for (std::size_t c = 0; c < f.components.size(); ++c) {
        const int i = int(c);
        cinfo.comp_info[i].h_samp_factor = f.components[c].h;
        cinfo.comp_info[i].v_samp_factor = f.components[c].v;
        cinfo.comp_info[i].quant_tbl_no = i;
        if (!cinfo.quant_tbl_ptrs[i])
            cinfo.quant_tbl_ptrs[i] =
                jpeg_alloc_quant_table(reinterpret_cast<j_common_ptr>(&cinfo));
        std::copy_n(f.components[c].quant.begin(), DCTSIZE2, cinfo.quant_tbl_ptrs[i]->quantval);
    }
    cinfo.optimize_coding = f.optimize;
    cinfo.arith_code = f.arithmetic;
    cinfo.restart_interval = unsigned(f.restartInterval);
    if (!f.scans.empty()) {
        cinfo.scan_info = f.scans.data();
        cinfo.num_scans = int(f.scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(std::size_t(f.width) * std::size_t(components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < f.width; ++x)
            sample(x, y, row.data() + std::size_t(x) * std::size_t(components));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

/// A photo-like picture: smooth gradients with a little deterministic noise.
inline QImage syntheticPhoto(int width, int height, quint32 seed = 1)
{
    QImage image(width, height, QImage::Format_BGR888);
    quint32 state = seed;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 28) - 8;
            const int r = 40 + 180 * x / std::max(1, width - 1) + noise;
            const int g = 30 + 200 * y / std::max(1, height - 1) + noise;
            const int b = 200 - 150 * (x + y) / std::max(1, width + height - 2) + noise;
            line[3 * x + 0] = uchar(std::clamp(b, 0, 255));
            line[3 * x + 1] = uchar(std::clamp(g, 0, 255));
            line[3 * x + 2] = uchar(std::clamp(r, 0, 255));
        }
    }
    return image;
}

/// Mean absolute difference over all samples of two Format_BGR888 pictures of one size.
inline double meanAbsDiff(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != QImage::Format_BGR888 ||
        b.format() != QImage::Format_BGR888)
        return 1e9;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < a.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(a.width()) * a.height() * 3);
}

/// FF, the marker, the big-endian length and the payload.
inline QByteArray segment(quint8 marker, const QByteArray& payload)
{
    const int length = int(payload.size()) + 2;
    QByteArray s;
    s.append(char(0xFF));
    s.append(char(marker));
    s.append(char(length >> 8));
    s.append(char(length & 0xFF));
    s.append(payload);
    return s;
}

/// The segment data as the program keeps it: length bytes and payload, no FF and marker.
inline QByteArray segmentData(const QByteArray& payload)
{
    return segment(0, payload).mid(2);
}

/// \a jpeg with its own SOI-following APP0 replaced by \a segments (already framed).
inline QByteArray withSegments(const QByteArray& jpeg, const QList<QByteArray>& segments)
{
    qsizetype pos = 2;
    if (quint8(jpeg[2]) == 0xFF && quint8(jpeg[3]) == 0xE0)
        pos += 2 + (quint8(jpeg[4]) << 8 | quint8(jpeg[5]));
    QByteArray out = jpeg.left(2);
    for (const QByteArray& s : segments)
        out.append(s);
    out.append(jpeg.mid(pos));
    return out;
}

struct FoundSegment
{
    quint8 marker;
    QByteArray data; ///< length bytes and payload
};

/// The segments from SOI up to (not including) the first DQT, SOF, DHT or SOS: the part a
/// metadata writer controls. Independent of the program's reader.
inline QList<FoundSegment> leadingSegments(const QByteArray& file)
{
    QList<FoundSegment> out;
    qsizetype pos = 2;
    while (pos + 4 <= file.size() && quint8(file[pos]) == 0xFF) {
        const quint8 marker = quint8(file[pos + 1]);
        if (marker == 0xDB || marker == 0xC4 || marker == 0xDA ||
            (marker >= 0xC0 && marker <= 0xCF))
            break;
        const int length = quint8(file[pos + 2]) << 8 | quint8(file[pos + 3]);
        out.append({marker, file.mid(pos + 2, length)});
        pos += 2 + length;
    }
    return out;
}

/// Builds a TIFF block, as found after "Exif\0\0", in either byte order.
class TiffBuilder
{
public:
    explicit TiffBuilder(bool bigEndian) : m_big(bigEndian) {}

    void u16(QByteArray& b, quint32 v) const
    {
        if (m_big) {
            b.append(char(v >> 8));
            b.append(char(v));
        } else {
            b.append(char(v));
            b.append(char(v >> 8));
        }
    }
    void u32(QByteArray& b, quint32 v) const
    {
        if (m_big) {
            u16(b, v >> 16);
            u16(b, v & 0xFFFF);
        } else {
            u16(b, v & 0xFFFF);
            u16(b, v >> 16);
        }
    }
    /// A 12-byte entry with a value that fits in the entry itself.
    QByteArray entry(quint16 tag, quint16 type, quint32 count, quint32 value) const
    {
        QByteArray e;
        u16(e, tag);
        u16(e, type);
        u32(e, count);
        if (type == 3) { // SHORT: left-justified in the value field
            u16(e, value);
            u16(e, 0);
        } else {
            u32(e, value);
        }
        return e;
    }
    /// A directory of \a entries with a zero next-directory link.
    QByteArray ifd(const QList<QByteArray>& entries) const
    {
        QByteArray d;
        u16(d, quint32(entries.size()));
        for (const QByteArray& e : entries)
            d.append(e);
        u32(d, 0);
        return d;
    }
    QByteArray header(quint32 ifd0Offset = 8) const
    {
        QByteArray h(m_big ? "MM" : "II");
        u16(h, 42);
        u32(h, ifd0Offset);
        return h;
    }

private:
    bool m_big;
};

/// An EXIF payload recording \a width x \a height twice: ImageWidth/ImageLength in IFD0 and
/// PixelXDimension/PixelYDimension in the EXIF directory, all of \a type (3 SHORT, 4 LONG).
/// \a sizePositions receives the positions in the segment data of the EXIF directory's
/// width and height value fields (the ones that count).
inline QByteArray exifPayload(bool bigEndian, quint16 type, quint32 width, quint32 height,
                              int* widthPosition = nullptr, int* heightPosition = nullptr)
{
    const TiffBuilder t(bigEndian);
    // IFD0 at 8: 3 entries -> 2 + 36 + 4 = 42 bytes; EXIF IFD at 50.
    const quint32 exifIfd = 8 + 2 + 3 * 12 + 4;
    QByteArray tiff = t.header();
    tiff.append(t.ifd({t.entry(256, type, 1, width), t.entry(257, type, 1, height),
                       t.entry(0x8769, 4, 1, exifIfd)}));
    tiff.append(t.ifd({t.entry(0xA002, type, 1, width), t.entry(0xA003, type, 1, height)}));
    // Data positions: 2 length bytes + 6 "Exif\0\0" + TIFF offset + entry offset + 8.
    if (widthPosition)
        *widthPosition = 2 + 6 + int(exifIfd) + 2 + 8;
    if (heightPosition)
        *heightPosition = 2 + 6 + int(exifIfd) + 2 + 12 + 8;
    return bytes("Exif\0\0") + tiff;
}

/// An ICC profile chunk: "ICC_PROFILE\0", sequence, count, then profile bytes whose header
/// names \a colourSpace (only in the first chunk).
inline QByteArray iccPayload(int sequence, int count, const QByteArray& colourSpace = "RGB ",
                             int profileBytes = 128)
{
    QByteArray p = bytes("ICC_PROFILE\0");
    p.append(char(sequence));
    p.append(char(count));
    QByteArray profile(profileBytes, '\x11');
    if (sequence == 1)
        profile.replace(16, 4, colourSpace);
    return p + profile;
}

/// exiftool's reading of a few EXIF tags of each file, or nothing when it is not installed.
std::optional<QJsonArray> exiftool(const QStringList& tags, const QStringList& files)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess p;
    QStringList args{QStringLiteral("-j"), QStringLiteral("-n")};
    for (const QString& t : tags)
        args << u'-' + t;
    p.start(program, args + files);
    if (!p.waitForFinished(60000))
        return std::nullopt;
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

} // namespace tess::test
