// One full stamp render of a 6000 x 4000 photo, against a plain copy of the same bitmap and
// against a plain libjpeg decode plus encode (quality 95) of the same photo, both measured in
// the same run. The goal for the render is 0.3 of the decode plus encode; the window renders
// as BM_RenderReusing does, writing over the picture of the render before the last.

#include "adjust/PixelEffects.h"
#include "bench/BenchSupport.h"
#include "render/StampLines.h"
#include "render/StampRenderer.h"

#include <QGuiApplication>
#include <QHash>
#include <benchmark/benchmark.h>
#include <utility>

using namespace tess;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const std::vector<unsigned char>& rgbPhoto()
{
    static const std::vector<unsigned char> rgb = bench::makeRgb(kWidth, kHeight);
    return rgb;
}

QImage photo()
{
    static const QImage image = bench::bgrFromRgb(rgbPhoto(), kWidth, kHeight);
    return image;
}

StampAttributes attributes()
{
    StampAttributes a = bench::heavyStampAttributes();
    a.fontName = QStringLiteral("Liberation Sans");
    a.stampTexts = {{QStringLiteral("[make_exif] [model_exif]"), true},
                    {QStringLiteral("[originaldatetime_exif]"), true},
                    {QStringLiteral("[fstops_exif] [exposure_exif] ISO [isospeed_exif]"), true}};
    return a;
}

QStringList lines()
{
    const QHash<QString, QString> values{
        {QStringLiteral("[make_exif]"), QStringLiteral("Canon")},
        {QStringLiteral("[model_exif]"), QStringLiteral("Canon EOS 40D")},
        {QStringLiteral("[originaldatetime_exif]"), QStringLiteral("03/07/2008 14:05:09")},
        {QStringLiteral("[fstops_exif]"), QStringLiteral("f/2.8")},
        {QStringLiteral("[exposure_exif]"), QStringLiteral("1/250 seconds")},
        {QStringLiteral("[isospeed_exif]"), QStringLiteral("400")}};
    return render::stampLinesFromMasks(attributes().stampTexts,
                                       [&values](const QString& tag) { return values.value(tag); });
}

void BM_CopyPhoto(benchmark::State& state)
{
    const QImage source = photo();
    for (auto _ : state) {
        QImage copy = source.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

void BM_AdjustOnly(benchmark::State& state)
{
    const QImage source = photo();
    const StampAttributes a = attributes();
    for (auto _ : state) {
        QImage adjusted = adjust::applyPhotoAdjustments(source, a.effect, quint8(a.sepiaLevel),
                                                        a.brightness, a.contrast);
        benchmark::DoNotOptimize(adjusted.constBits());
    }
}

void BM_RenderFromMasks(benchmark::State& state)
{
    const QImage source = photo();
    const StampAttributes a = attributes();
    const QStringList stampLines = lines();
    for (auto _ : state) {
        render::RenderOutput out =
            render::renderStamp(source, a, stampLines, render::AdjustedText::FullOpacity);
        benchmark::DoNotOptimize(out.stamped.constBits());
    }
}

/// As the window renders: the picture of the render before the last one is written over.
void BM_RenderReusing(benchmark::State& state)
{
    const QImage source = photo();
    const StampAttributes a = attributes();
    const QStringList stampLines = lines();
    QImage shown;
    QImage spare;
    for (auto _ : state) {
        render::RenderOutput out = render::renderStamp(
            source, a, stampLines, render::AdjustedText::FullOpacity, std::move(spare));
        benchmark::DoNotOptimize(out.stamped.constBits());
        spare = std::exchange(shown, out.stamped);
    }
}

void BM_DecodeEncode(benchmark::State& state)
{
    static const QByteArray jpeg = bench::plainEncode(rgbPhoto().data(), kWidth, kHeight, 95);
    for (auto _ : state) {
        const auto pixels = bench::plainDecode(jpeg);
        const QByteArray again = bench::plainEncode(pixels.get(), kWidth, kHeight, 95);
        benchmark::DoNotOptimize(again.constData());
    }
}

void configure(benchmark::internal::Benchmark* b)
{
    bench::repeated(b);
    b->UseRealTime()->MeasureProcessCPUTime();
}

BENCHMARK(BM_DecodeEncode)->Apply(configure);
BENCHMARK(BM_CopyPhoto)->Apply(configure);
BENCHMARK(BM_AdjustOnly)->Apply(configure);
BENCHMARK(BM_RenderFromMasks)->Apply(configure);
BENCHMARK(BM_RenderReusing)->Apply(configure);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    photo();
    bench::MedianReporter reporter;
    reporter.summary = [](const bench::MedianReporter& r) {
        bench::printRatios(r, {{"BM_RenderReusing", "BM_DecodeEncode", 0.3},
                               {"BM_RenderReusing", "BM_DecodeEncode", 0.3, true},
                               {"BM_RenderFromMasks", "BM_DecodeEncode", 0.3},
                               {"BM_RenderFromMasks", "BM_DecodeEncode", 0.3, true},
                               {"BM_RenderFromMasks", "BM_CopyPhoto"},
                               {"BM_AdjustOnly", "BM_CopyPhoto"},
                               {"BM_AdjustOnly", "BM_DecodeEncode", 0, true}});
    };
    return bench::runBenchmarks(argc, argv, reporter);
}
