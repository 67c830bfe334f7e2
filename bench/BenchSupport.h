#pragma once

// What the JPEG benchmarks share: the synthetic photo (gradients with noise, so that every
// block has detail to encode), plain libjpeg encoding and decoding, and a reporter that keeps
// each case's medians.

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <jpeglib.h>
#include <map>
#include <memory>
#include <string>

namespace tess::bench {

/// Interleaved RGB, \a width x \a height.
inline std::unique_ptr<unsigned char[]> makeRgb(int width, int height)
{
    std::unique_ptr<unsigned char[]> rgb(new unsigned char[std::size_t(width) * height * 3]);
    quint32 state = 0x2545f491u;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = rgb.get() + std::size_t(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state & 31) - 16;
            row[3 * x + 0] = uchar(std::clamp(40 + x / 30 + noise, 0, 255));
            row[3 * x + 1] = uchar(std::clamp(30 + y / 20 + noise, 0, 255));
            row[3 * x + 2] = uchar(std::clamp(220 - (x + y) / 45 + noise, 0, 255));
        }
    }
    return rgb;
}

/// Plain libjpeg: defaults, standard quality scaling, RGB rows in, memory out; a restart
/// marker after every \a restartRows MCU rows (0: none).
inline QByteArray encodeRgb(const unsigned char* rgb, int width, int height, int quality,
                            int restartRows = 0)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.restart_in_rows = restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW rows[16];
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION first = cinfo.next_scanline;
        const JDIMENSION band = std::min<JDIMENSION>(16, cinfo.image_height - first);
        for (JDIMENSION i = 0; i < band; ++i)
            rows[i] = const_cast<JSAMPROW>(rgb + std::size_t(first + i) * std::size_t(width) * 3);
        jpeg_write_scanlines(&cinfo, rows, band);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

/// Plain libjpeg: memory in, RGB rows out.
inline std::unique_ptr<unsigned char[]> decodeToRgb(const QByteArray& bytes)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = std::size_t(cinfo.output_width) * 3;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * cinfo.output_height]);
    JSAMPROW rows[16];
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION band = std::min<JDIMENSION>(16, cinfo.output_height - first);
        for (JDIMENSION i = 0; i < band; ++i)
            rows[i] = pixels.get() + (first + i) * stride;
        jpeg_read_scanlines(&cinfo, rows, band);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

/// The console report, keeping the median wall and CPU milliseconds of each case by its name
/// ("name" or "name/arg").
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred ||
                (run.run_type != Run::RT_Iteration && run.aggregate_name != "median"))
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += '/' + run.run_name.args;
            medians[name] = run.GetAdjustedRealTime();
            cpuMedians[name] = run.GetAdjustedCPUTime();
        }
    }

protected:
    std::map<std::string, double> medians;
    std::map<std::string, double> cpuMedians;
};

} // namespace tess::bench
