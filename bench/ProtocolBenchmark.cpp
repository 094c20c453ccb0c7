// Program transfers: the protocol alone, the transport's floor (a bare
// two-thread byte-moving loop) and, for comparison with the floor, the full
// transfer through the HID link to a simulated controller.
//
// Each benchmark iteration is one whole program: a send is 25 LineWrite round
// trips plus the ProgramStored notice, a read-back 25 LineRead round trips.
// The counter "round_trip" is the time per round trip.

#include <chrono>
#include <memory>

#include <benchmark/benchmark.h>

#include "BareReportLoop.h"
#include "LinkedTool.h"

namespace {

constexpr int LinesPerTransfer = 25;

void SetCounters(benchmark::State& state) {
    state.counters["round_trip"] =
        benchmark::Counter(static_cast<double>(state.iterations() * LinesPerTransfer),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The protocol without any transport ----------------------------------------

class NullSink : public DeviceReportSink {
public:
    void AppendHexLog(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
    void AppendTextLog(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
    void ShowStatus(std::string_view, bool) override {}
    void SetValueField(std::string_view, std::int32_t) override {}
    void SetNoNc(std::optional<int>) override {}
    void AddChartSample(std::int32_t, std::int32_t) override {}
    void SetProgress(int) override {}
    void AdvanceProgress() override {}
    void RenderProgram() override {}
};

// Answers every request at once with its echo, as the controller would.
class EchoOutput : public ReportOutput {
public:
    void SendReport(std::uint8_t letter, const std::uint8_t* payload, std::size_t size) override {
        last_.fill(0);
        last_[0] = letter;
        std::copy_n(payload, std::min<std::size_t>(size, last_.size() - 1), last_.begin() + 1);
        pending_ = true;
    }
    bool Take(std::array<std::uint8_t, 64>& reply) {
        if (!pending_) {
            return false;
        }
        reply = last_;
        pending_ = false;
        return true;
    }

private:
    std::array<std::uint8_t, 64> last_{};
    bool pending_ = false;
};

void BM_ProtocolOnly_SendProgram(benchmark::State& state) {
    ProgramSet programs;
    EchoOutput output;
    NullSink sink;
    ControllerMessages messages(output, programs);
    DeviceReportProcessor processor(programs, messages, sink);
    std::array<std::uint8_t, 64> reply{};
    const std::array<std::uint8_t, 64> stored{0x66};
    for (auto _ : state) {
        messages.SendProgram(3, sink);
        while (output.Take(reply)) {
            processor.Process(reply.data(), reply.size());
        }
        processor.Process(stored.data(), stored.size());
    }
    SetCounters(state);
}
BENCHMARK(BM_ProtocolOnly_SendProgram);

// The transport's floor -------------------------------------------------------

void BM_Floor_SendProgram(benchmark::State& state) {
    BareReportLoop loop;
    BareReportLoop::Report request{1, 0x64, 3};
    BareReportLoop::Report reply{};
    for (auto _ : state) {
        for (int line = 0; line < LinesPerTransfer; ++line) {
            request[3] = static_cast<std::uint8_t>(line);
            // The last line's reply is followed by the ProgramStored notice.
            loop.RoundTrip(request, reply, line == LinesPerTransfer - 1 ? 2 : 1);
            benchmark::DoNotOptimize(reply.data());
        }
    }
    SetCounters(state);
}
BENCHMARK(BM_Floor_SendProgram)->UseRealTime();

void BM_Floor_ReadProgram(benchmark::State& state) {
    BareReportLoop loop;
    BareReportLoop::Report request{1, 0x65, 3};
    BareReportLoop::Report reply{};
    for (auto _ : state) {
        for (int line = 0; line < LinesPerTransfer; ++line) {
            request[3] = static_cast<std::uint8_t>(line);
            loop.RoundTrip(request, reply, 1);
            benchmark::DoNotOptimize(reply.data());
        }
    }
    SetCounters(state);
}
BENCHMARK(BM_Floor_ReadProgram)->UseRealTime();

// Through the HID link ---------------------------------------------------------

class CountingSink : public NullSink {
public:
    void ShowStatus(std::string_view, bool) override { ++messages; }
    int messages = 0;
};

// One whole transfer of P3 through the linked tool; false if it did not
// finish within 10 s. Each transfer ends with exactly one status message:
// ProgramStored after a send, the read message after line 24 of a read.
bool Transfer(LinkedTool<CountingSink>& tool, bool send) {
    const int target = tool.sink.messages + 1;
    if (send) {
        tool.messages->SendProgram(3, tool.sink);
    } else {
        tool.messages->ReadProgram(3, tool.sink);
    }
    return tool.dispatcher->PumpUntil([&] { return tool.sink.messages == target; },
                                      std::chrono::seconds(10));
}

void BM_Link_SendProgram(benchmark::State& state) {
    LinkedTool<CountingSink> tool;
    if (!tool.connected) {
        state.SkipWithError("the simulated KX-RD4 was not selected");
        return;
    }
    for (auto _ : state) {
        if (!Transfer(tool, true)) {
            state.SkipWithError("transfer did not finish");
            break;
        }
    }
    SetCounters(state);
}
BENCHMARK(BM_Link_SendProgram)->UseRealTime();

void BM_Link_ReadProgram(benchmark::State& state) {
    LinkedTool<CountingSink> tool;
    if (!tool.connected) {
        state.SkipWithError("the simulated KX-RD4 was not selected");
        return;
    }
    for (auto _ : state) {
        if (!Transfer(tool, false)) {
            state.SkipWithError("transfer did not finish");
            break;
        }
    }
    SetCounters(state);
}
BENCHMARK(BM_Link_ReadProgram)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
