#pragma once

// What the benchmark programs share: a reporter that keeps each case's median, the ratio
// table printed after the console report, and the plain libjpeg floor (decode and encode
// straight into and out of an RGB buffer) that program cases are measured against.

#include "app/attributes/StampAttributes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tess::bench {

/// The console report; keeps each case's median (or its only run) by name
/// ("function" or "function/arguments"), in the order the cases ran, and calls \a summary
/// at the end.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    struct Median
    {
        double realMs = 0;
        double cpuMs = 0;
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    /// Nothing for a case that did not run or failed.
    const Median* find(const std::string& name) const;
    const std::vector<std::string>& names() const { return m_order; }

    std::function<void(const MedianReporter&)> summary;

private:
    std::map<std::string, Median> m_medians;
    std::vector<std::string> m_order;
};

/// One row of a ratio table: a case's median divided by its floor's.
struct Ratio
{
    std::string name;
    std::string floor;
    double limit = 0; ///< a ratio above it is marked; 0: no limit
    bool cpu = false; ///< CPU time instead of real time
};

/// Prints the rows whose cases both ran.
void printRatios(const MedianReporter& reporter, const std::vector<Ratio>& rows);

/// Initialises Google Benchmark with the program's arguments, runs the cases through
/// \a reporter and returns the exit status (1 for arguments it does not know).
int runBenchmarks(int argc, char** argv, MedianReporter& reporter);

/// 5 repetitions, aggregates only, milliseconds.
void repeated(benchmark::internal::Benchmark* b);

/// The settings of the stamping benchmarks: sepia, brightness 300, contrast 200, 60 % opacity
/// and an outlined stamp at proportional size in the bottom-right corner; no stamp texts.
StampAttributes heavyStampAttributes();

/// A photo-like picture (gradients with noise), interleaved RGB rows without padding.
std::vector<unsigned char> makeRgb(int width, int height);
/// The same picture as the program holds it (Format_BGR888).
QImage bgrFromRgb(const std::vector<unsigned char>& rgb, int width, int height);

/// Plain libjpeg: defaults, standard quality scaling, RGB rows in, memory out; a restart
/// marker after every \a restartRows MCU rows (0: none).
QByteArray plainEncode(const unsigned char* rgb, int width, int height, int quality,
                       int restartRows = 0);
/// Plain libjpeg: the stream decoded into a fresh (uninitialised) RGB buffer, returned.
std::unique_ptr<unsigned char[]> plainDecode(QByteArrayView jpeg);

} // namespace tess::bench
