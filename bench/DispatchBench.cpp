// One controller reply handled, against a floor.
//
// BM_Dispatch/<letter>: DeviceReportProcessor::Process on a 64-byte reply
// (what the reader hands over for the KX-RD4's 65-byte reports): the hex and
// text log lines, then the action for its letter, into a sink that keeps
// nothing. Letters: 'y' (StatusPoll, 40 per second while the chart runs) and
// 'i' (VminRead: a value field and a status message).
// Floor BM_Floor_Dispatch/<letter>: a bare switch on the letter doing the
// same work by hand: the same two log lines into fixed buffers, the same
// values decoded and the same sink calls.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "ControllerMessages.h"
#include "DeviceReportProcessor.h"
#include "ProgramSet.h"
#include "ReportOutput.h"

namespace {

class NullSink : public DeviceReportSink {
public:
    void AppendHexLog(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
    void AppendTextLog(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
    void ShowStatus(std::string_view message, bool) override {
        benchmark::DoNotOptimize(message.data());
    }
    void SetValueField(std::string_view field, std::int32_t value) override {
        benchmark::DoNotOptimize(field.data());
        benchmark::DoNotOptimize(value);
    }
    void SetNoNc(std::optional<int>) override {}
    void AddChartSample(std::int32_t position, std::int32_t velocity) override {
        benchmark::DoNotOptimize(position);
        benchmark::DoNotOptimize(velocity);
    }
    void SetProgress(int) override {}
    void AdvanceProgress() override {}
    void RenderProgram() override {}
};

class NullOutput : public ReportOutput {
public:
    void SendReport(std::uint8_t, const std::uint8_t*, std::size_t) override {}
};

using Reply = std::array<std::uint8_t, 64>;

Reply MakeReply(std::uint8_t letter) {
    Reply reply{};
    reply[0] = letter;
    // position -1000, velocity 1000 / value 300
    const std::uint8_t bytes[] = {0x18, 0xFC, 0xFF, 0xFF, 0xE8, 0x03, 0x00, 0x00};
    std::memcpy(reply.data() + 1, bytes, sizeof bytes);
    return reply;
}

void BM_Dispatch(benchmark::State& state) {
    const Reply reply = MakeReply(static_cast<std::uint8_t>(state.range(0)));
    ProgramSet programs;
    NullOutput output;
    NullSink sink;
    ControllerMessages messages(output, programs);
    DeviceReportProcessor processor(programs, messages, sink);
    for (auto _ : state) {
        processor.Process(reply.data(), reply.size());
    }
}
BENCHMARK(BM_Dispatch)->Arg('y')->Arg('i');

std::int32_t ReadInt32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

void BareDispatch(const std::uint8_t* data, std::size_t size, DeviceReportSink& sink) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    char hex[3 * 256];
    for (std::size_t i = 0; i < size; ++i) {
        hex[3 * i] = Digits[data[i] >> 4];
        hex[3 * i + 1] = Digits[data[i] & 0x0F];
        hex[3 * i + 2] = ' ';
    }
    sink.AppendHexLog(std::string_view(hex, 3 * size));
    // Up to the first zero byte; bytes from 0x80 as two UTF-8 bytes (the
    // code page's table is left out: a lookup of the same cost).
    char text[2 * 256];
    std::size_t length = 0;
    for (std::size_t i = 0; i < size && data[i] != 0; ++i) {
        if (data[i] < 0x80) {
            text[length++] = static_cast<char>(data[i]);
        } else {
            text[length++] = static_cast<char>(0xC0 | data[i] >> 6);
            text[length++] = static_cast<char>(0x80 | (data[i] & 0x3F));
        }
    }
    sink.AppendTextLog(std::string_view(text, length));
    switch (data[0]) {
    case 'y':
        sink.AddChartSample(ReadInt32(data + 1), ReadInt32(data + 5));
        break;
    case 'i':
        sink.SetValueField("VminLabel", ReadInt32(data + 1));
        sink.ShowStatus("Prędkość minimalna została odczytana", false);
        break;
    default:
        break;
    }
}

void BM_Floor_Dispatch(benchmark::State& state) {
    const Reply reply = MakeReply(static_cast<std::uint8_t>(state.range(0)));
    NullSink sink;
    for (auto _ : state) {
        BareDispatch(reply.data(), reply.size(), sink);
    }
}
BENCHMARK(BM_Floor_Dispatch)->Arg('y')->Arg('i');

} // namespace

BENCHMARK_MAIN();
