#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace tess::bench {

void MedianReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred ||
            (run.run_type != Run::RT_Iteration && run.aggregate_name != "median"))
            continue;
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        if (!m_medians.count(name))
            m_order.push_back(name);
        Median& median = m_medians[name];
        // Times are reported in the case's own unit; they are kept in milliseconds.
        const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        median.realMs = run.GetAdjustedRealTime() * toMs;
        median.cpuMs = run.GetAdjustedCPUTime() * toMs;
        for (const auto& [counter, value] : run.counters)
            median.counters[counter] = value.value;
    }
}

void MedianReporter::Finalize()
{
    ConsoleReporter::Finalize();
    if (summary)
        summary(*this);
}

const MedianReporter::Median* MedianReporter::find(const std::string& name) const
{
    const auto it = m_medians.find(name);
    return it == m_medians.end() ? nullptr : &it->second;
}

void printRatios(const MedianReporter& reporter, const std::vector<Ratio>& rows)
{
    std::printf("\n%-36s %10s  %-28s %10s %8s\n", "case", "median ms", "floor", "median ms",
                "ratio");
    for (const Ratio& row : rows) {
        const MedianReporter::Median* a = reporter.find(row.name);
        const MedianReporter::Median* b = reporter.find(row.floor);
        if (!a || !b)
            continue;
        const double x = row.cpu ? a->cpuMs : a->realMs;
        const double floor = row.cpu ? b->cpuMs : b->realMs;
        if (floor <= 0)
            continue;
        const double ratio = x / floor;
        const std::string kind = row.cpu ? " (CPU)" : "";
        std::printf("%-36s %10.1f  %-28s %10.1f %8.3f", (row.name + kind).c_str(), x,
                    row.floor.c_str(), floor, ratio);
        if (row.limit > 0 && ratio > row.limit)
            std::printf("  over %.2f", row.limit);
        std::printf("\n");
    }
}

int runBenchmarks(int argc, char** argv, MedianReporter& reporter)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

StampAttributes heavyStampAttributes()
{
    StampAttributes a;
    a.fontName = QStringLiteral("DejaVu Sans");
    a.fontSize = 18;
    a.proportionalSize = true;
    a.referenceHeight = 768;
    a.effect = PhotoEffect::Sepia;
    a.sepiaLevel = 45;
    a.brightness = 300;
    a.contrast = 200;
    a.outlineWidth = 2;
    a.outlineColor = 0x00000000;
    a.textColor = 0x0000FFFF;
    a.opacity = 153;
    a.position = positions::BottomRight;
    return a;
}

void repeated(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

std::vector<unsigned char> makeRgb(int width, int height)
{
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    quint32 state = 0x2545f491u;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = rgb.data() + size_t(y) * size_t(width) * 3;
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

QImage bgrFromRgb(const std::vector<unsigned char>& rgb, int width, int height)
{
    QImage out(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        const unsigned char* src = rgb.data() + size_t(y) * size_t(width) * 3;
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            dst[3 * x + 0] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x + 0];
        }
    }
    return out;
}

QByteArray plainEncode(const unsigned char* rgb, int width, int height, int quality,
                       int restartRows)
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
            rows[i] = const_cast<JSAMPROW>(rgb + size_t(first + i) * size_t(width) * 3);
        jpeg_write_scanlines(&cinfo, rows, band);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

std::unique_ptr<unsigned char[]> plainDecode(QByteArrayView jpeg)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * 3;
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

} // namespace tess::bench
