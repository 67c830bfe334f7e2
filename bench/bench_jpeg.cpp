// Loading and saving a 6000 x 4000 photo at quality 95, against plain libjpeg calls into and
// out of an RGB buffer measured in the same run: loadPhoto against the plain decode, and
// saveStampedJpeg (segments, encoding, temporary file, flush, rename) against the plain
// encode into memory. The table at the end gives each program case as a ratio to its floor;
// both should stay within 1.15.
#include "metadata/PhotoFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kQuality = 95;

/// Gradients with noise, interleaved RGB.
std::unique_ptr<unsigned char[]> makeRgb()
{
    std::unique_ptr<unsigned char[]> rgb(new unsigned char[std::size_t(kWidth) * kHeight * 3]);
    quint32 state = 0x2545f491u;
    for (int y = 0; y < kHeight; ++y) {
        unsigned char* row = rgb.get() + std::size_t(y) * kWidth * 3;
        for (int x = 0; x < kWidth; ++x) {
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

const unsigned char* rgbPhoto()
{
    static const std::unique_ptr<unsigned char[]> rgb = makeRgb();
    return rgb.get();
}

/// The same picture as the program holds it.
const QImage& bgrPhoto()
{
    static const QImage image = [] {
        QImage out(kWidth, kHeight, QImage::Format_BGR888);
        for (int y = 0; y < kHeight; ++y) {
            const unsigned char* src = rgbPhoto() + std::size_t(y) * kWidth * 3;
            uchar* dst = out.scanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                dst[3 * x + 0] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x + 0];
            }
        }
        return out;
    }();
    return image;
}

/// Plain libjpeg: defaults, standard quality scaling, RGB rows in, memory out.
QByteArray plainEncode()
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW rows[16];
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION first = cinfo.next_scanline;
        const JDIMENSION band = std::min<JDIMENSION>(16, cinfo.image_height - first);
        for (JDIMENSION i = 0; i < band; ++i)
            rows[i] = const_cast<JSAMPROW>(rgbPhoto() + std::size_t(first + i) * kWidth * 3);
        jpeg_write_scanlines(&cinfo, rows, band);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

const QByteArray& encodedPhoto()
{
    static const QByteArray bytes = plainEncode();
    return bytes;
}

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString photoPath()
{
    static const QString path = [] {
        const QString p = workDir().filePath(QStringLiteral("photo.jpg"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(encodedPhoto()) != encodedPhoto().size())
            std::abort();
        return p;
    }();
    return path;
}

void plainDecode(benchmark::State& state)
{
    const QByteArray& bytes = encodedPhoto();
    for (auto _ : state) {
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
        benchmark::DoNotOptimize(pixels.get());
    }
}

void loadPhoto(benchmark::State& state)
{
    const QString path = photoPath();
    for (auto _ : state) {
        const tess::metadata::LoadResult result = tess::metadata::loadPhoto(path);
        if (!result.ok())
            state.SkipWithError("loadPhoto failed");
        benchmark::DoNotOptimize(result.image.constBits());
    }
}

void plainEncodeCase(benchmark::State& state)
{
    for (auto _ : state) {
        const QByteArray bytes = plainEncode();
        benchmark::DoNotOptimize(bytes.constData());
    }
}

void saveStampedJpeg(benchmark::State& state)
{
    const QString source = photoPath();
    const QString dest = workDir().filePath(QStringLiteral("stamped.jpg"));
    const QImage& picture = bgrPhoto();
    for (auto _ : state) {
        if (!tess::metadata::saveStampedJpeg(picture, kQuality, source, dest))
            state.SkipWithError("saveStampedJpeg failed");
    }
}

void configure(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(plainDecode)->Name("libjpeg decode")->Apply(configure);
BENCHMARK(loadPhoto)->Name("loadPhoto")->Apply(configure);
BENCHMARK(plainEncodeCase)->Name("libjpeg encode")->Apply(configure);
BENCHMARK(saveStampedJpeg)->Name("saveStampedJpeg")->Apply(configure);

/// The console report, then each program case's median as a ratio to its libjpeg floor.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-16s %10s %-16s %10s %8s\n", "case", "median ms", "floor", "median ms",
                    "ratio");
        const std::pair<const char*, const char*> pairs[] = {{"loadPhoto", "libjpeg decode"},
                                                             {"saveStampedJpeg", "libjpeg encode"}};
        for (const auto& [name, floor] : pairs) {
            if (!m_medians.count(name) || !m_medians.count(floor) || m_medians[floor] <= 0)
                continue;
            const double ratio = m_medians[name] / m_medians[floor];
            std::printf("%-16s %10.1f %-16s %10.1f %8.3f%s\n", name, m_medians[name], floor,
                        m_medians[floor], ratio, ratio > 1.15 ? "  over 1.15" : "");
        }
    }

private:
    std::map<std::string, double> m_medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
