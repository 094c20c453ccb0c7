// Hand-over latency: from an input report becoming readable to the data
// handler starting on the user-interface thread, over the simulated back end
// with a real reader thread. Reports the median and the 99th percentile over
// 10 000 reports.
// Floor BM_Floor_HandOver: the same two thread wake-ups with nothing around
// them (the user-interface thread wakes a second thread, which wakes it back):
// one round trip of the bare two-thread report loop.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "BareReportLoop.h"
#include "PumpedUiDispatcher.h"
#include "SimulatedHidBackend.h"
#include "TJvHidDeviceController.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median, p99 and maximum of the measured latencies (µs) as counters.
void ReportLatencies(benchmark::State& state, std::vector<double>& latencies) {
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) {
        return latencies[std::min(
            latencies.size() - 1,
            static_cast<std::size_t>(q * static_cast<double>(latencies.size())))];
    };
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = latencies.back();
}

void BM_HandOverLatency(benchmark::State& state) {
    const int reports = static_cast<int>(state.range(0));
    auto backend = std::make_shared<SimulatedHidBackend>();
    auto ui = std::make_shared<PumpedUiDispatcher>();
    SimulatedHidBackend::DeviceSpec setup;
    setup.ProductString = u"KX-RD4";
    const auto id = backend->Plug(setup);
    TJvHidDeviceController controller(backend, ui);
    ui->Pump();
    auto device = controller.ClaimByIndex(0);

    Clock::time_point started;
    Clock::time_point handled;
    int count = 0;
    device->SetDataHandler([&](TJvHidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
        handled = Clock::now();
        ++count;
    });
    std::vector<double> latencies;
    latencies.reserve(static_cast<std::size_t>(reports));
    std::vector<std::uint8_t> report(65, 0);
    report[0] = 1;
    report[1] = 'y';

    for (auto _ : state) {
        latencies.clear();
        for (int i = 0; i < reports; ++i) {
            const int before = count;
            started = Clock::now();
            backend->InjectReport(id, report);
            ui->PumpUntil([&] { return count != before; }, std::chrono::seconds(5));
            latencies.push_back(
                std::chrono::duration<double, std::micro>(handled - started).count());
        }
    }
    device.reset();

    ReportLatencies(state, latencies);
    state.counters["reports"] = static_cast<double>(latencies.size());
}

BENCHMARK(BM_HandOverLatency)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Floor_HandOver(benchmark::State& state) {
    const int reports = static_cast<int>(state.range(0));
    BareReportLoop loop;
    BareReportLoop::Report request{1, 'y'};
    BareReportLoop::Report reply{};
    std::vector<double> latencies;
    latencies.reserve(static_cast<std::size_t>(reports));
    for (auto _ : state) {
        latencies.clear();
        for (int i = 0; i < reports; ++i) {
            const Clock::time_point started = Clock::now();
            loop.RoundTrip(request, reply, 1);
            latencies.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - started).count());
        }
    }
    ReportLatencies(state, latencies);
}

BENCHMARK(BM_Floor_HandOver)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
