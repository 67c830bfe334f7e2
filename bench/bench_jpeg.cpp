// Loading and saving a 6000 x 4000 photo at quality 95, against plain libjpeg calls into and
// out of an RGB buffer measured in the same run: loadPhoto against the plain decode, and
// saveStampedJpeg (segments, encoding, temporary file, flush, rename) against the plain
// encode into memory. The table at the end gives each program case as a ratio to its floor;
// both should stay within 1.15.
#include "bench/BenchSupport.h"
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

const unsigned char* rgbPhoto()
{
    static const std::unique_ptr<unsigned char[]> rgb = tess::bench::makeRgb(kWidth, kHeight);
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
    return tess::bench::encodeRgb(rgbPhoto(), kWidth, kHeight, kQuality);
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
        std::unique_ptr<unsigned char[]> pixels = tess::bench::decodeToRgb(bytes);
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
class RatioReporter : public tess::bench::MedianReporter
{
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-16s %10s %-16s %10s %8s\n", "case", "median ms", "floor", "median ms",
                    "ratio");
        const std::pair<const char*, const char*> pairs[] = {{"loadPhoto", "libjpeg decode"},
                                                             {"saveStampedJpeg", "libjpeg encode"}};
        for (const auto& [name, floor] : pairs) {
            if (!medians.count(name) || !medians.count(floor) || medians[floor] <= 0)
                continue;
            const double ratio = medians[name] / medians[floor];
            std::printf("%-16s %10.1f %-16s %10.1f %8.3f%s\n", name, medians[name], floor,
                        medians[floor], ratio, ratio > 1.15 ? "  over 1.15" : "");
        }
    }
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
