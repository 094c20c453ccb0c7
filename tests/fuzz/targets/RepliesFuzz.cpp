// Any bytes as received reports. Input: a sequence of [length][bytes]; each
// report is copied into a buffer of exactly its length, so a read past it is
// caught by the address sanitizer.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "ControllerMessages.h"
#include "DeviceReportProcessor.h"
#include "DeviceReportSink.h"
#include "FuzzTargets.h"
#include "MessageLetter.h"

namespace {

struct Sent {
    std::uint8_t letter;
    std::vector<std::uint8_t> payload;
};

class Output : public ReportOutput {
public:
    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override {
        sent.push_back({letter, std::vector<std::uint8_t>(payload, payload + payloadSize)});
    }
    std::vector<Sent> sent;
};

class Sink : public DeviceReportSink {
public:
    void AppendHexLog(std::string_view line) override { hexLines.push_back(std::string(line)); }
    void AppendTextLog(std::string_view) override { ++textLines; }
    void ShowStatus(std::string_view message, bool) override { FUZZ_CHECK(!message.empty()); }
    void SetValueField(std::string_view field, std::int32_t) override {
        FUZZ_CHECK(field.ends_with("Label"));
    }
    void SetNoNc(std::optional<int> index) override {
        FUZZ_CHECK(!index || *index == 0 || *index == 1);
    }
    void AddChartSample(std::int32_t, std::int32_t) override {}
    void SetProgress(int value) override { FUZZ_CHECK(value == 0 || value == LinesPerProgram); }
    void AdvanceProgress() override {}
    void RenderProgram() override {}

    std::vector<std::string> hexLines;
    int textLines = 0;
};

} // namespace

int FuzzReplies(const std::uint8_t* data, std::size_t size) {
    ProgramSet programs;
    for (std::size_t i = 0; i < ProgramSet::Size(); ++i) {
        programs.Data()[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    Output output;
    ControllerMessages messages(output, programs);
    Sink sink;
    DeviceReportProcessor processor(programs, messages, sink);

    std::size_t at = 0;
    int reports = 0;
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        ++at;
        const std::unique_ptr<std::uint8_t[]> report(new std::uint8_t[length]);
        std::memcpy(report.get(), data + at, length);
        at += length;

        std::uint8_t before[ProgramSetBytes];
        std::memcpy(before, programs.Data(), ProgramSetBytes);
        output.sent.clear();
        processor.Process(length == 0 ? nullptr : report.get(), length);
        ++reports;
        FUZZ_CHECK(sink.hexLines.size() == static_cast<std::size_t>(reports));
        FUZZ_CHECK(sink.hexLines.back().size() == 3 * length);
        FUZZ_CHECK(sink.textLines == reports);

        const std::uint8_t* r = report.get();
        const bool chainWrite = length >= 3 && r[0] == 'd' && r[1] < ProgramCount && r[2] < 24;
        const bool lineRead = length >= 11 && r[0] == 'e' && r[1] < ProgramCount && r[2] < 25;
        const bool chainRead = lineRead && r[2] < 24;

        // Nothing sent but the next line of the chain that the reply names.
        if (chainWrite || chainRead) {
            FUZZ_CHECK(output.sent.size() == 1);
            const Sent& next = output.sent[0];
            FUZZ_CHECK(next.letter == (chainWrite ? 'd' : 'e'));
            FUZZ_CHECK(next.payload.size() >= 2);
            FUZZ_CHECK(next.payload[0] == r[1] && next.payload[1] == r[2] + 1);
            if (chainWrite) {
                FUZZ_CHECK(next.payload.size() == 10);
                const ProgramLine line = programs.Line(r[1], r[2] + 1);
                FUZZ_CHECK(std::equal(line.begin(), line.end(), next.payload.begin() + 2));
            }
        } else {
            FUZZ_CHECK(output.sent.empty());
        }

        // Only the named line of the set changed, to the reply's bytes.
        if (lineRead) {
            const std::size_t at = static_cast<std::size_t>(r[1]) * 200 + r[2] * 8;
            FUZZ_CHECK(std::memcmp(programs.Data() + at, r + 3, 8) == 0);
            std::memcpy(before + at, r + 3, 8);
        }
        FUZZ_CHECK(std::memcmp(before, programs.Data(), ProgramSetBytes) == 0);
    }
    return 0;
}
