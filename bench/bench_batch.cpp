// A batch of four 6000 x 4000 JPEG photos (sepia, brightness 300, contrast 200, 60 % opacity,
// a three-line outlined stamp at proportional size), against the floor measured in the same
// run: a plain libjpeg decode plus encode at quality 95 of each photo, one after another,
// with the files read and written. The batch runs once on one worker and once on one worker
// per core. Goals: wall time at most 0.6 of the floor with every core, CPU time at most 1.15
// of the floor's. "peak MB" is the process's peak resident memory after the first case (the
// batch on every core), to be compared with (workers + 1) photos of 72 MB.

#include "batch/BatchRun.h"
#include "bench/BenchSupport.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "profiles/AttributeProfile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/resource.h>

using namespace tess;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kPhotos = 4;
constexpr int kQuality = 95;

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString sourceFolder()
{
    return workDir().filePath(QStringLiteral("in"));
}

QString destinationFolder()
{
    return workDir().filePath(QStringLiteral("out/"));
}

/// The four photos and the profile, written once.
QStringList sources()
{
    static const QStringList files = [] {
        QDir().mkpath(sourceFolder());
        QDir().mkpath(destinationFolder());
        const QByteArray jpeg =
            bench::plainEncode(bench::makeRgb(kWidth, kHeight).data(), kWidth, kHeight, kQuality);
        QStringList paths;
        for (int i = 1; i <= kPhotos; ++i) {
            const QString path = sourceFolder() + QStringLiteral("/photo%1.jpg").arg(i);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
                std::abort();
            paths.append(path);
        }
        return paths;
    }();
    return files;
}

StampAttributes attributes()
{
    StampAttributes a = bench::heavyStampAttributes();
    a.jpegQuality = kQuality;
    a.stampTexts = {{QStringLiteral("[p_filename] [p_width] x [p_height]"), true},
                    {QStringLiteral("[p_filedatetime]"), true},
                    {QStringLiteral("Stamped by Orvane Tessarine"), true}};
    return a;
}

QString profilePath()
{
    static const QString path = [] {
        const QString p = workDir().filePath(QStringLiteral("batch.tsrx"));
        QFile file(p);
        const QByteArray bytes = profiles::profileBytes(attributes());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
        return p;
    }();
    return path;
}

class BenchFolders : public platform::Folders
{
public:
    QString documentsFolder() const override { return workDir().path(); }
};

void batchRun(benchmark::State& state)
{
    platform::SystemClock clock;
    BenchFolders folders;
    batch::BatchJob job;
    job.useProfile = true;
    job.profilePath = profilePath();
    job.files = sources();
    job.destinationFolder = destinationFolder();
    job.overwrite = true;
    job.workers = int(state.range(0));
    for (auto _ : state) {
        batch::BatchRun run(platform::Platform{nullptr, &clock, &folders, nullptr, nullptr});
        run.prepare(job);
        if (!run.runBatch() || run.stampedCount() != kPhotos)
            state.SkipWithError("the batch did not stamp every photo");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak MB"] = double(usage.ru_maxrss) / 1024.0;
}

void decodeEncodeFloor(benchmark::State& state)
{
    const QStringList files = sources();
    for (auto _ : state) {
        for (const QString& path : files) {
            QFile in(path);
            if (!in.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read a photo");
            const QByteArray jpeg = in.readAll();
            const auto pixels = bench::plainDecode(jpeg);
            const QByteArray again = bench::plainEncode(pixels.get(), kWidth, kHeight, kQuality);
            QFile out(destinationFolder() + QStringLiteral("floor.jpg"));
            if (!out.open(QIODevice::WriteOnly) || out.write(again) != again.size())
                state.SkipWithError("cannot write a photo");
        }
    }
}

int cores()
{
    return std::max(1, QThread::idealThreadCount());
}

void configure(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    sources();
    profilePath();
    const std::string everyCore = "batch/" + std::to_string(cores());
    benchmark::RegisterBenchmark("batch", batchRun)->Arg(cores())->Apply(configure);
    if (cores() > 1)
        benchmark::RegisterBenchmark("batch", batchRun)->Arg(1)->Apply(configure);
    benchmark::RegisterBenchmark("decode+encode", decodeEncodeFloor)->Apply(configure);

    bench::MedianReporter reporter;
    reporter.summary = [&everyCore](const bench::MedianReporter& r) {
        bench::printRatios(r, {{everyCore, "decode+encode", 0.6},
                               {everyCore, "decode+encode", 1.15, true},
                               {"batch/1", "decode+encode"},
                               {"batch/1", "decode+encode", 0, true}});
    };
    return bench::runBenchmarks(argc, argv, reporter);
}
