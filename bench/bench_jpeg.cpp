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
#include <cstdlib>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kQuality = 95;

const std::vector<unsigned char>& rgbPhoto()
{
    static const std::vector<unsigned char> rgb = tess::bench::makeRgb(kWidth, kHeight);
    return rgb;
}

/// The same picture as the program holds it.
const QImage& bgrPhoto()
{
    static const QImage image = tess::bench::bgrFromRgb(rgbPhoto(), kWidth, kHeight);
    return image;
}

QByteArray plainEncode()
{
    return tess::bench::plainEncode(rgbPhoto().data(), kWidth, kHeight, kQuality);
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
        const auto pixels = tess::bench::plainDecode(bytes);
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
    tess::bench::repeated(b);
    b->UseRealTime();
}

BENCHMARK(plainDecode)->Name("libjpeg decode")->Apply(configure);
BENCHMARK(loadPhoto)->Name("loadPhoto")->Apply(configure);
BENCHMARK(plainEncodeCase)->Name("libjpeg encode")->Apply(configure);
BENCHMARK(saveStampedJpeg)->Name("saveStampedJpeg")->Apply(configure);

} // namespace

int main(int argc, char** argv)
{
    tess::bench::MedianReporter reporter;
    reporter.summary = [](const tess::bench::MedianReporter& r) {
        tess::bench::printRatios(r, {{"loadPhoto", "libjpeg decode", 1.15},
                                     {"saveStampedJpeg", "libjpeg encode", 1.15}});
    };
    return tess::bench::runBenchmarks(argc, argv, reporter);
}
