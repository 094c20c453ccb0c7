// The live chart under load, on the offscreen platform.
//
// BM_ChartSample/<history>: one sample added to both series plus the redraw it
// queues, with the history held at 1 000 or 100 000 samples per series; the
// cost must not grow with the history (the ratio is printed at the end, limit
// 1.5).
// BM_ChartSoak: 1.2 million samples (an 8-hour shift at 40 per second) in
// bursts of 400 samples per event loop pass; reports the resident memory after
// the first 100 000 samples and at the end (limit: 20 MB more), and the growth
// over the second half of the run.

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

#include "LiveChart.h"
#include "SilentOperator.h"

namespace {

// A motor moving back and forth.
std::int32_t Position(long i) {
    return static_cast<std::int32_t>(20000 * std::sin(static_cast<double>(i) / 300.0));
}
std::int32_t Velocity(long i) {
    return static_cast<std::int32_t>(3000 * std::cos(static_cast<double>(i) / 300.0));
}

double ResidentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    const double pages = fields.size() > 1 ? fields[1].toDouble() : 0;
    return pages * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_ChartSample(benchmark::State& state) {
    const int history = static_cast<int>(state.range(0));
    NoDialogs dialogs;
    NoBoxes boxes;
    LiveChart chart(nullptr, dialogs, boxes, history);
    chart.resize(526, 336);
    chart.show();
    long i = 0;
    for (; i < history; ++i) {
        chart.AddSample(Position(i), Velocity(i));
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        chart.AddSample(Position(i), Velocity(i));
        ++i;
        QCoreApplication::processEvents(); // the queued redraw
    }
    state.counters["kept"] = chart.KeptCount();
}
BENCHMARK(BM_ChartSample)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ChartSoak(benchmark::State& state) {
    constexpr long Total = 1200000;
    constexpr long Warm = 100000;
    constexpr long Burst = 400;
    for (auto _ : state) {
        NoDialogs dialogs;
        NoBoxes boxes;
        LiveChart chart(nullptr, dialogs, boxes);
        chart.resize(526, 336);
        chart.show();
        double afterWarm = 0;
        double halfway = 0;
        for (long i = 0; i < Total; ++i) {
            chart.AddSample(Position(i), Velocity(i));
            if ((i + 1) % Burst == 0) {
                QCoreApplication::processEvents();
            }
            if (i + 1 == Warm) {
                afterWarm = ResidentMegabytes();
            }
            if (i + 1 == Total / 2) {
                halfway = ResidentMegabytes();
            }
        }
        QCoreApplication::processEvents();
        const double atEnd = ResidentMegabytes();
        state.counters["rss_100k_MB"] = afterWarm;
        state.counters["rss_1200k_MB"] = atEnd;
        state.counters["growth_MB"] = atEnd - afterWarm;
        // 0 when the memory has levelled off
        state.counters["growth_2nd_half_MB"] = atEnd - halfway;
        state.counters["kept"] = chart.KeptCount();
    }
}
BENCHMARK(BM_ChartSoak)->Iterations(1)->Unit(benchmark::kSecond);

// Prints the console report and remembers the time per sample of each history.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto shortRun = reporter.times.find("BM_ChartSample/1000");
    const auto longRun = reporter.times.find("BM_ChartSample/100000");
    if (shortRun != reporter.times.end() && longRun != reporter.times.end() &&
        shortRun->second > 0) {
        std::printf("cost per sample, 100000 vs 1000 samples of history: ratio %.3f (limit 1.5)\n",
                    longRun->second / shortRun->second);
    }
    benchmark::Shutdown();
    return 0;
}
