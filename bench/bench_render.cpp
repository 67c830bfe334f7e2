// One full stamp render of a 6000 x 4000 photo, against a plain copy of the same bitmap
// measured in the same run.

#include "adjust/PixelEffects.h"
#include "render/StampLines.h"
#include "render/StampRenderer.h"

#include <QGuiApplication>
#include <QHash>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

using namespace tess;

namespace {

QImage photo()
{
    static const QImage image = [] {
        QImage img(6000, 4000, QImage::Format_BGR888);
        for (int y = 0; y < img.height(); ++y) {
            uchar* row = img.scanLine(y);
            for (int x = 0; x < img.width(); ++x) {
                row[3 * x] = uchar(x + y);
                row[3 * x + 1] = uchar(x * 3);
                row[3 * x + 2] = uchar(y * 5);
            }
        }
        return img;
    }();
    return image;
}

StampAttributes attributes()
{
    StampAttributes a;
    a.fontName = QStringLiteral("Liberation Sans");
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

BENCHMARK(BM_CopyPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AdjustOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderFromMasks)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Prints as usual and keeps each case's real time per iteration, in milliseconds.
class KeepingReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> millis;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean")
                millis[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    photo();
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto time = [&reporter](const char* name) {
        const auto it = reporter.millis.find(name);
        return it == reporter.millis.end() ? 0.0 : it->second;
    };
    const double copy = time("BM_CopyPhoto/real_time");
    const double adjust = time("BM_AdjustOnly/real_time");
    const double render = time("BM_RenderFromMasks/real_time");
    if (copy > 0 && render > 0) {
        std::printf("\nOne render of 6000 x 4000: %.1f ms = %.2f photo copies "
                    "(adjustment alone %.2f copies; the rest %.2f copies)\n",
                    render, render / copy, adjust / copy, (render - adjust) / copy);
    }
    return 0;
}
