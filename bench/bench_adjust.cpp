// applyPhotoAdjustments on a 6000 x 4000 photo for every effect, at brightness 300 and
// contrast 200, against a plain deep copy of the same bitmap measured in the same run.
// The table at the end gives each case as a multiple of the copy's median time.

#include "adjust/PixelEffects.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using tess::PhotoEffect;

namespace {

QImage makePhoto()
{
    QImage image(6000, 4000, QImage::Format_BGR888);
    quint32 state = 0x9e3779b9u;
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int i = 0; i < 3 * image.width(); ++i) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            // A gradient with noise, roughly like a photo's spread of values.
            row[i] = uchar((i / 3 + y) / 40 + (state & 63));
        }
    }
    return image;
}

const QImage& photo()
{
    static const QImage image = makePhoto();
    return image;
}

void copyBaseline(benchmark::State& state)
{
    for (auto _ : state) {
        QImage copy = photo().copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

void adjust(benchmark::State& state, PhotoEffect effect)
{
    for (auto _ : state) {
        QImage adjusted = tess::adjust::applyPhotoAdjustments(photo(), effect, 45, 300, 200);
        benchmark::DoNotOptimize(adjusted.constBits());
    }
}

void configure(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
}

// The copy runs first and again last, so drift in the machine's load shows in the table.
BENCHMARK(copyBaseline)->Name("copy")->Apply(configure);
BENCHMARK_CAPTURE(adjust, none, PhotoEffect::None)->Apply(configure);
BENCHMARK_CAPTURE(adjust, greyscale, PhotoEffect::Greyscale)->Apply(configure);
BENCHMARK_CAPTURE(adjust, sepia, PhotoEffect::Sepia)->Apply(configure);
BENCHMARK_CAPTURE(adjust, flaxen, PhotoEffect::Flaxen)->Apply(configure);
BENCHMARK_CAPTURE(adjust, negative, PhotoEffect::Negative)->Apply(configure);
BENCHMARK(copyBaseline)->Name("copy again")->Apply(configure);

/// The console report, then each case's median as a ratio to the first copy's median.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                const std::string name = run.run_name.function_name +
                                         (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
                if (!medians_.count(name))
                    order_.push_back(name);
                medians_[name] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto baseline = medians_.find("copy");
        if (baseline == medians_.end() || baseline->second <= 0)
            return;
        std::printf("\n%-28s %10s %8s\n", "case", "median ms", "x copy");
        for (const std::string& name : order_)
            std::printf("%-28s %10.2f %8.2f\n", name.c_str(), medians_[name],
                        medians_[name] / baseline->second);
    }

private:
    std::map<std::string, double> medians_;
    std::vector<std::string> order_;
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
