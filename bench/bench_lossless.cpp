// Stamping a 6000 x 4000 photo (4:2:0, quality 92), once with a restart marker after every MCU
// row and once without: the lossless save (only the MCUs under the stamp encoded anew) against
// the normal save (decode, stamp, encode at quality 95) and against plain libjpeg decode plus
// encode, the floor of any save that encodes the whole picture again, all in one run. The
// table at the end gives the lossless save's median as a ratio to both, and its file's size
// as a ratio to the source's. Goals: with restart markers at most 0.1 of the floor; without
// them no slower than the normal save; the size within 1 % of the source's.
#include "bench/BenchSupport.h"
#include "metadata/LosslessJpeg.h"
#include "metadata/PhotoFile.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <map>
#include <string>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kSourceQuality = 92;
constexpr int kQuality = 95;
const QRect kStamp(4500, 3760, 1300, 140); // a date line in the bottom-right corner

const unsigned char* rgbPhoto()
{
    static const std::vector<unsigned char> rgb = tess::bench::makeRgb(kWidth, kHeight);
    return rgb.data();
}

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

/// The source photo's path: with restart markers (1) or without (0).
QString sourcePath(int restart)
{
    static std::map<int, QString> paths;
    QString& path = paths[restart];
    if (path.isEmpty()) {
        path = workDir().filePath(QStringLiteral("source%1.jpg").arg(restart));
        const QByteArray bytes =
            tess::bench::plainEncode(rgbPhoto(), kWidth, kHeight, kSourceQuality, restart);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
    return path;
}

QImage stampedCopy(const QImage& photo)
{
    QImage stamped = photo.copy();
    QPainter painter(&stamped);
    painter.setClipRect(kStamp);
    QFont font = painter.font();
    font.setPixelSize(kStamp.height() * 3 / 4);
    painter.setFont(font);
    painter.setPen(QColor(255, 160, 40));
    painter.drawText(kStamp, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("2026:12:10 14:33:07"));
    return stamped;
}

void decodeEncode(benchmark::State& state)
{
    QFile f(sourcePath(int(state.range(0))));
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray bytes = f.readAll();
    for (auto _ : state) {
        const std::unique_ptr<unsigned char[]> pixels = tess::bench::plainDecode(bytes);
        const QByteArray out = tess::bench::plainEncode(pixels.get(), kWidth, kHeight, kQuality);
        benchmark::DoNotOptimize(out.constData());
    }
}

void normalSave(benchmark::State& state)
{
    const QString source = sourcePath(int(state.range(0)));
    const QString dest = workDir().filePath(QStringLiteral("normal.jpg"));
    for (auto _ : state) {
        const tess::metadata::LoadResult loaded = tess::metadata::loadPhoto(source);
        if (!loaded.ok() ||
            !tess::metadata::saveStampedJpeg(stampedCopy(loaded.image), kQuality, source, dest))
            state.SkipWithError("the normal save failed");
    }
}

/// The file the last lossless save wrote, per source.
std::map<int, qint64> losslessSizes;

void losslessSave(benchmark::State& state)
{
    const int restart = int(state.range(0));
    const QString source = sourcePath(restart);
    const QString dest = workDir().filePath(QStringLiteral("lossless.jpg"));
    // As the window holds them: the photo as loaded and the stamped photo.
    const QImage photo = tess::metadata::loadPhoto(source).image;
    const QImage stamped = stampedCopy(photo);
    for (auto _ : state) {
        const tess::metadata::LosslessSave saved =
            tess::metadata::saveLosslessJpeg(photo, stamped, kQuality, source, dest);
        if (!saved.saved)
            state.SkipWithError(qPrintable(saved.error));
    }
    losslessSizes[restart] = QFileInfo(dest).size();
}

void configure(benchmark::internal::Benchmark* b)
{
    b->Arg(1)
        ->Arg(0)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(decodeEncode)->Name("libjpeg decode+encode")->Apply(configure);
BENCHMARK(normalSave)->Name("normal save")->Apply(configure);
BENCHMARK(losslessSave)->Name("lossless save")->Apply(configure);

/// The lossless save's medians as ratios to the floor and to the normal save, and its file's
/// size as a ratio to the source's.
void printSummary(const tess::bench::MedianReporter& reporter)
{
    // Wall time counts the flush of the file to disk; CPU time shows the work alone on a busy
    // machine.
    std::printf("\n%-22s %10s %10s %10s %9s %9s %9s %9s %8s\n", "source", "lossless", "normal",
                "floor", "/floor", "cpu", "/normal", "cpu", "size");
    for (const int restart : {1, 0}) {
        const std::string arg = '/' + std::to_string(restart);
        const auto* lossless = reporter.find("lossless save" + arg);
        const auto* normal = reporter.find("normal save" + arg);
        const auto* floor = reporter.find("libjpeg decode+encode" + arg);
        if (!lossless || !normal || !floor)
            continue;
        const double size =
            double(losslessSizes[restart]) / double(QFileInfo(sourcePath(restart)).size());
        std::printf("%-22s %8.1fms %8.1fms %8.1fms %9.3f %9.3f %9.3f %9.3f %8.4f\n",
                    restart ? "restart every MCU row" : "no restart markers", lossless->realMs,
                    normal->realMs, floor->realMs, lossless->realMs / floor->realMs,
                    lossless->cpuMs / floor->cpuMs, lossless->realMs / normal->realMs,
                    lossless->cpuMs / normal->cpuMs, size);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // the stamp's text needs fonts
    tess::bench::MedianReporter reporter;
    reporter.summary = printSummary;
    return tess::bench::runBenchmarks(argc, argv, reporter);
}
