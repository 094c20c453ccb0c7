// Replies that never come: a program transfer stops after the time-out with
// the line it waited for, late replies do not restart it, a transfer that
// cannot be written says why, and unanswered polls show that the plugged
// controller does not answer until it answers again. Time is injected.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DeviceReportProcessor.h"
#include "MessageLetter.h"
#include "ReportRecorder.h"
#include "SinkRecorder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Records what is sent and tells the processor what became of each report, as
// the device output does in the tool.
class ObservedOutput : public ReportOutput {
public:
    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override {
        if (result == ReportWriteResult::Written) {
            recorder.SendReport(letter, payload, payloadSize);
        }
        if (observer) {
            observer(letter, payload, payloadSize, result);
        }
    }
    ReportRecorder recorder;
    ReportWriteResult result = ReportWriteResult::Written;
    std::function<void(std::uint8_t, const std::uint8_t*, std::size_t, ReportWriteResult)> observer;
};

class ReplyTimeoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        output.observer = [this](std::uint8_t letter, const std::uint8_t* payload, std::size_t size,
                                 ReportWriteResult result) {
            processor.RequestWritten(letter, payload, size, result);
        };
        processor.CheckTimeouts(Device); // the device is selected
    }
    void Reply(Bytes data) {
        data.resize(64, 0);
        processor.Process(data.data(), data.size());
    }
    void At(std::int64_t ms) {
        now = ms;
        processor.CheckTimeouts(Device);
    }
    std::size_t Sent() const { return output.recorder.reports.size(); }
    std::string LastStatus() const {
        for (auto it = sink.events.rbegin(); it != sink.events.rend(); ++it) {
            if (it->rfind("status:", 0) == 0) {
                return it->substr(7);
            }
        }
        return "(none)";
    }

    static constexpr int DeviceTag = 0;
    static constexpr const void* Device = &DeviceTag;
    std::int64_t now = 0;
    ObservedOutput output;
    ProgramSet programs;
    ControllerMessages messages{output, programs};
    SinkRecorder sink;
    DeviceReportProcessor processor{programs, messages, sink, [this] { return now; }};
};

constexpr std::uint8_t Write = 0x64;
constexpr std::uint8_t Read = 0x65;
constexpr std::uint8_t Stored = 0x66;

TEST_F(ReplyTimeoutTest, SendStopsAtTheLineItWaitsForAndLateRepliesDoNotCarryItOn) {
    ASSERT_TRUE(messages.SendProgram(3, sink));
    now = 600;
    Reply({Write, 3, 0}); // line 01 goes out at 600
    ASSERT_EQ(Sent(), 2u);
    At(1599);
    EXPECT_EQ(LastStatus(), "(none)");
    At(1600);
    EXPECT_EQ(LastStatus(), "Brak odpowiedzi sterownika: linia 01");
    EXPECT_EQ(sink.textLog.back(), "Brak odpowiedzi sterownika: linia 01");
    EXPECT_EQ(sink.progress, 0);

    Reply({Write, 3, 1}); // too late: logged, nothing more is sent
    EXPECT_EQ(Sent(), 2u);
    At(5000);
    EXPECT_EQ(LastStatus(), "Brak odpowiedzi sterownika: linia 01"); // said once

    // The next transfer goes through to the end, ProgramStored included.
    ASSERT_TRUE(messages.SendProgram(3, sink));
    for (std::uint8_t line = 0; line < 25; ++line) {
        now += 900;
        Reply({Write, 3, line});
        At(now);
    }
    now += 900;
    Reply({Stored});
    At(now + 5000);
    EXPECT_EQ(LastStatus(), "Program został zapisany do pamięci wewnetrznej urządzenia");
    EXPECT_EQ(sink.progress, 25);
}

TEST_F(ReplyTimeoutTest, EachKindOfTransferNamesWhatItWaitedFor) {
    struct Case {
        bool send;
        int repliedLines; // lines answered before the controller falls silent
        const char* status;
    };
    const Case cases[] = {
        {true, 0, "Brak odpowiedzi sterownika: linia 00"},
        {true, 7, "Brak odpowiedzi sterownika: linia 07"},
        {true, 25, "Brak odpowiedzi sterownika: zapis programu nie został potwierdzony"},
        {false, 0, "Brak odpowiedzi sterownika: linia 00"},
        {false, 24, "Brak odpowiedzi sterownika: linia 24"},
    };
    for (int line = 0; line < 25; ++line) {
        programs.LineBytes(5, line)[0] = 20; // END on every line
    }
    const ProgramSet before = programs;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.send ? "send, " : "read, ") + std::to_string(c.repliedLines));
        ASSERT_TRUE(c.send ? messages.SendProgram(5, sink) : messages.ReadProgram(5, sink));
        for (int line = 0; line < c.repliedLines; ++line) {
            now += 10;
            Reply({c.send ? Write : Read, 5, static_cast<std::uint8_t>(line)});
        }
        At(now + 999);
        EXPECT_NE(LastStatus(), c.status);
        At(now + 1000);
        EXPECT_EQ(LastStatus(), c.status);
        EXPECT_EQ(sink.progress, 0);
        // A read back that stalls leaves the program as it was (the replies
        // carried empty lines).
        EXPECT_TRUE(std::equal(before.Data(), before.Data() + ProgramSetBytes, programs.Data()));
        now += 2000;
    }
}

TEST_F(ReplyTimeoutTest, TransferThatCannotBeWrittenSaysWhy) {
    struct Case {
        ReportWriteResult result;
        bool send;
        const char* status;
    };
    const Case cases[] = {
        {ReportWriteResult::NoDevice, true,
         "Nie można wysłać programu: brak połączenia ze sterownikiem"},
        {ReportWriteResult::Failed, false,
         "Nie można odczytać programu: zapis do urządzenia nie powiódł się"},
        {ReportWriteResult::UnsuitableDevice, true,
         "Nie można wysłać programu: urządzenie nie przyjmuje raportów tej długości"},
    };
    for (const Case& c : cases) {
        output.result = c.result;
        ASSERT_TRUE(c.send ? messages.SendProgram(1, sink) : messages.ReadProgram(1, sink));
        EXPECT_EQ(LastStatus(), c.status);
        EXPECT_EQ(sink.textLog.back(), c.status);
        // Nothing was written, so nothing is awaited either.
        At(now += 5000);
        EXPECT_EQ(LastStatus(), c.status);
    }
}

TEST_F(ReplyTimeoutTest, UnansweredPollsShowTheControllerSilentUntilItAnswers) {
    messages.SendRequest(MessageLetter::StatusPoll);
    now = 25;
    messages.SendRequest(MessageLetter::StatusPoll); // the first unanswered one counts
    At(999);
    EXPECT_EQ(LastStatus(), "(none)");
    At(1000);
    EXPECT_EQ(LastStatus(), "Sterownik nie odpowiada");
    const auto shown = sink.events.size();
    At(3000);
    EXPECT_EQ(sink.events.size(), shown); // said once

    Reply({0x79, 1, 0, 0, 0, 2, 0, 0, 0});
    EXPECT_EQ(LastStatus(), ""); // cleared by the first answer
    At(10000);
    EXPECT_EQ(LastStatus(), "");

    // Polls outstanding when the device goes away are forgotten.
    messages.SendRequest(MessageLetter::StatusPoll);
    processor.CheckTimeouts(nullptr);
    now += 5000;
    processor.CheckTimeouts(nullptr);
    EXPECT_EQ(LastStatus(), "");
}

} // namespace
