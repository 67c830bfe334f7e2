// applyPhotoAdjustments on a 6000 x 4000 photo for every effect, at brightness 300 and
// contrast 200, against a plain deep copy of the same bitmap measured in the same run.
// The table at the end gives each case as a multiple of the copy's median time ("x copy")
// and as a multiple of the copies timed alongside it, iteration by iteration ("paired").

#include "adjust/PixelEffects.h"
#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <string>

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

// Each iteration also times a copy right before the effect, so the "paired" ratio compares
// the two under the same load from the rest of the machine.
void adjust(benchmark::State& state, PhotoEffect effect)
{
    using Clock = std::chrono::steady_clock;
    double copySeconds = 0;
    double adjustSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        {
            QImage copy = photo().copy();
            benchmark::DoNotOptimize(copy.constBits());
        }
        const auto copied = Clock::now();
        {
            QImage adjusted = tess::adjust::applyPhotoAdjustments(photo(), effect, 45, 300, 200);
            benchmark::DoNotOptimize(adjusted.constBits());
        }
        const auto done = Clock::now();
        const double seconds = std::chrono::duration<double>(done - copied).count();
        copySeconds += std::chrono::duration<double>(copied - start).count();
        adjustSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    if (copySeconds > 0)
        state.counters["paired"] = adjustSeconds / copySeconds;
}

void configure(benchmark::internal::Benchmark* b)
{
    tess::bench::repeated(b);
}

// The copy runs first and again last, so drift in the machine's load shows in the table.
BENCHMARK(copyBaseline)->Name("copy")->UseRealTime()->Apply(configure);
BENCHMARK_CAPTURE(adjust, none, PhotoEffect::None)->UseManualTime()->Apply(configure);
BENCHMARK_CAPTURE(adjust, greyscale, PhotoEffect::Greyscale)->UseManualTime()->Apply(configure);
BENCHMARK_CAPTURE(adjust, sepia, PhotoEffect::Sepia)->UseManualTime()->Apply(configure);
BENCHMARK_CAPTURE(adjust, flaxen, PhotoEffect::Flaxen)->UseManualTime()->Apply(configure);
BENCHMARK_CAPTURE(adjust, negative, PhotoEffect::Negative)->UseManualTime()->Apply(configure);
BENCHMARK(copyBaseline)->Name("copy again")->UseRealTime()->Apply(configure);

/// Each case's median as a multiple of the first copy's, with its paired ratio.
void printTable(const tess::bench::MedianReporter& reporter)
{
    const auto* baseline = reporter.find("copy");
    if (!baseline || baseline->realMs <= 0)
        return;
    std::printf("\n%-28s %10s %8s %8s\n", "case", "median ms", "x copy", "paired");
    for (const std::string& name : reporter.names()) {
        const auto* median = reporter.find(name);
        std::printf("%-28s %10.2f %8.2f", name.c_str(), median->realMs,
                    median->realMs / baseline->realMs);
        const auto paired = median->counters.find("paired");
        if (paired != median->counters.end())
            std::printf(" %8.2f", paired->second);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    tess::bench::MedianReporter reporter;
    reporter.summary = printTable;
    return tess::bench::runBenchmarks(argc, argv, reporter);
}
