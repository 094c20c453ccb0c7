// Request bytes of every message as written with an output report length of 65.

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ControllerMessages.h"
#include "ReportRecorder.h"
#include "SinkRecorder.h"
#include "WireInt32.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The 65 bytes written: the given start, zeros up to the end.
Bytes Padded(Bytes start) {
    start.resize(65, 0);
    return start;
}

struct RequestCase {
    std::string name;
    std::function<void(ControllerMessages&)> send;
    Bytes expected; // report bytes from byte 0; the rest up to 65 is zero
};

class ControllerMessagesTest : public ::testing::Test {
protected:
    ReportRecorder output;
    ProgramSet programs;
    ControllerMessages messages{output, programs};
    SinkRecorder sink;
};

std::vector<RequestCase> AllRequests() {
    using M = MessageLetter;
    auto request = [](M letter) {
        return [letter](ControllerMessages& m) { m.SendRequest(letter); };
    };
    auto value = [](M letter, std::int32_t v) {
        return [letter, v](ControllerMessages& m) { m.SendValue(letter, v); };
    };
    return {
        // Program transfers and program control.
        {"LineWrite P3 line 5",
         [](ControllerMessages& m) { m.SendLine(3, 5); },
         {0x01, 0x64, 0x03, 0x05, 0x01, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00}},
        {"LineRead P9 line 24",
         [](ControllerMessages& m) { m.RequestLine(9, 24); },
         {0x01, 0x65, 0x09, 0x18}},
        {"ProgramStart P4", [](ControllerMessages& m) { m.RunProgram(4); }, {0x01, 0x67, 0x04}},
        {"ProgramHalt P0", [](ControllerMessages& m) { m.StopProgram(0); }, {0x01, 0x68, 0x00}},
        // Reads: the letter alone.
        {"VminRead", request(M::VminRead), {0x01, 0x69}},
        {"VmaxRead", request(M::VmaxRead), {0x01, 0x6A}},
        {"AmaxRead", request(M::AmaxRead), {0x01, 0x6B}},
        {"HomeRead", request(M::HomeRead), {0x01, 0x6C}},
        {"VdstRead", request(M::VdstRead), {0x01, 0x6D}},
        {"XdstRead", request(M::XdstRead), {0x01, 0x6E}},
        {"XdefRead", request(M::XdefRead), {0x01, 0x81}},
        {"VdefRead", request(M::VdefRead), {0x01, 0x82}},
        {"WdefRead", request(M::WdefRead), {0x01, 0x83}},
        // Motor commands and the chart poll.
        {"EnableOn", request(M::EnableOn), {0x01, 0x75}},
        {"EnableOff", request(M::EnableOff), {0x01, 0x76}},
        {"MotorStop", request(M::MotorStop), {0x01, 0x77}},
        {"MotorBrake", request(M::MotorBrake), {0x01, 0x78}},
        {"StatusPoll", request(M::StatusPoll), {0x01, 0x79}},
        // Values as WireInt32 at bytes 2..5.
        {"VminWrite 300", value(M::VminWrite, 300), {0x01, 0x6F, 0x2C, 0x01, 0x00, 0x00}},
        {"VmaxWrite 29999", value(M::VmaxWrite, 29999), {0x01, 0x70, 0x2F, 0x75, 0x00, 0x00}},
        {"AmaxWrite 0", value(M::AmaxWrite, 0), {0x01, 0x71}},
        {"VdstSet -29999", value(M::VdstSet, -29999), {0x01, 0x73, 0xD1, 0x8A, 0xFF, 0xFF}},
        {"XdstSet -9999999", value(M::XdstSet, -9999999), {0x01, 0x74, 0x81, 0x69, 0x67, 0xFF}},
        {"VelocityUp 500", value(M::VelocityUp, 500), {0x01, 0x7A, 0xF4, 0x01}},
        {"VelocityDown 1", value(M::VelocityDown, 1), {0x01, 0x7B, 0x01}},
        {"PositionDown 1000", value(M::PositionDown, 1000), {0x01, 0x7C, 0xE8, 0x03}},
        {"PositionUp 500", value(M::PositionUp, 500), {0x01, 0x7D, 0xF4, 0x01}},
        {"ModbusBaud 115200", value(M::ModbusBaud, 115200), {0x01, 0x7F, 0x00, 0xC2, 0x01, 0x00}},
        {"InputFilter 999", value(M::InputFilter, 999), {0x01, 0x80, 0xE7, 0x03}},
        {"XdefWrite 9999999", value(M::XdefWrite, 9999999), {0x01, 0x84, 0x7F, 0x96, 0x98, 0x00}},
        {"VdefWrite -1", value(M::VdefWrite, -1), {0x01, 0x85, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"WdefWrite 99999", value(M::WdefWrite, 99999), {0x01, 0x86, 0x9F, 0x86, 0x01, 0x00}},
        // Single bytes and homing.
        {"ModbusAddress 247",
         [](ControllerMessages& m) { m.SendByte(M::ModbusAddress, 247); },
         {0x01, 0x7E, 0xF7}},
        {"HomeStart 300 NC",
         [](ControllerMessages& m) { m.SendHoming(300, 1); },
         {0x01, 0x72, 0x2C, 0x01, 0x00, 0x00, 0x01}},
        {"HomeStart -29999 NO",
         [](ControllerMessages& m) { m.SendHoming(-29999, 0); },
         {0x01, 0x72, 0xD1, 0x8A, 0xFF, 0xFF, 0x00}},
    };
}

TEST_F(ControllerMessagesTest, EveryRequestIsWrittenByteForByte) {
    const ProgramLine p3l5{1, 0, 0, 5, 0, 0, 0, 0};
    std::copy(p3l5.begin(), p3l5.end(), programs.LineBytes(3, 5));
    std::vector<std::uint8_t> seenLetters;
    for (const RequestCase& c : AllRequests()) {
        SCOPED_TRACE(c.name);
        output.reports.clear();
        c.send(messages);
        ASSERT_EQ(output.reports.size(), 1u);
        EXPECT_EQ(output.reports[0], Padded(c.expected));
        seenLetters.push_back(c.expected[1]);
    }
    // Every letter except ProgramStored, which the tool never sends.
    std::sort(seenLetters.begin(), seenLetters.end());
    seenLetters.erase(std::unique(seenLetters.begin(), seenLetters.end()), seenLetters.end());
    EXPECT_EQ(seenLetters.size(), static_cast<std::size_t>(MessageLetterCount - 1));
    EXPECT_EQ(std::count(seenLetters.begin(), seenLetters.end(), 0x66), 0);
}

TEST_F(ControllerMessagesTest, LineWriteCarriesAllEightBytesAsInMemoryAtSending) {
    const ProgramLine line{107, 9, 8, 7, 6, 5, 4, 3}; // unused operand bytes too
    std::copy(line.begin(), line.end(), programs.LineBytes(9, 24));
    messages.SendLine(9, 24);
    programs.LineBytes(9, 24)[7] = 0xEE;
    messages.SendLine(9, 24);
    ASSERT_EQ(output.reports.size(), 2u);
    EXPECT_EQ(output.reports[0], Padded({0x01, 0x64, 0x09, 0x18, 107, 9, 8, 7, 6, 5, 4, 3}));
    EXPECT_EQ(output.reports[1][11], 0xEE);
}

TEST_F(ControllerMessagesTest, LineMessagesOutsideTheSetSendNothing) {
    for (auto [program, line] : {std::pair{-1, 0}, {10, 0}, {255, 0}, {0, -1}, {0, 25}, {9, 255}}) {
        messages.SendLine(program, line);
        messages.RequestLine(program, line);
    }
    messages.RunProgram(NoIndex);
    messages.StopProgram(10);
    EXPECT_TRUE(output.reports.empty());
}

TEST_F(ControllerMessagesTest, ReportLengthFollowsTheDevice) {
    ReportRecorder longOutput(256);
    ControllerMessages m(longOutput, programs);
    m.SendValue(MessageLetter::ModbusBaud, 19200);
    ASSERT_EQ(longOutput.reports.size(), 1u);
    ASSERT_EQ(longOutput.reports[0].size(), 256u);
    EXPECT_EQ(WireInt32::Read(longOutput.reports[0].data() + 2), 19200);
    EXPECT_TRUE(std::all_of(longOutput.reports[0].begin() + 6, longOutput.reports[0].end(),
                            [](std::uint8_t b) { return b == 0; }));
}

// Transfer starts ---------------------------------------------------------

TEST_F(ControllerMessagesTest, SendProgramStartsWithLineZeroAndBarAtZero) {
    programs.LineBytes(6, 0)[0] = 3;
    EXPECT_TRUE(messages.SendProgram(6, sink));
    ASSERT_EQ(output.reports.size(), 1u);
    EXPECT_EQ(output.reports[0], Padded({0x01, 0x64, 0x06, 0x00, 0x03}));
    EXPECT_EQ(sink.events, std::vector<std::string>{"progress:0"});
}

TEST_F(ControllerMessagesTest, ReadProgramStartsWithLineZeroAndBarAtZero) {
    EXPECT_TRUE(messages.ReadProgram(2, sink));
    ASSERT_EQ(output.reports.size(), 1u);
    EXPECT_EQ(output.reports[0], Padded({0x01, 0x65, 0x02, 0x00}));
    EXPECT_EQ(sink.events, std::vector<std::string>{"progress:0"});
}

TEST_F(ControllerMessagesTest, WithoutDeviceTransfersOnlyResetTheBar) {
    output.connected = false;
    EXPECT_TRUE(messages.SendProgram(0, sink));
    EXPECT_TRUE(messages.ReadProgram(9, sink));
    messages.RunProgram(1);
    messages.StopProgram(1);
    messages.SendRequest(MessageLetter::StatusPoll);
    EXPECT_TRUE(output.reports.empty());
    EXPECT_EQ(sink.events, (std::vector<std::string>{"progress:0", "progress:0"}));
}

TEST_F(ControllerMessagesTest, WithoutCurrentProgramTransfersDoNothing) {
    EXPECT_FALSE(messages.SendProgram(NoIndex, sink));
    EXPECT_FALSE(messages.ReadProgram(NoIndex, sink));
    EXPECT_FALSE(messages.SendProgram(10, sink));
    EXPECT_TRUE(output.reports.empty());
    EXPECT_TRUE(sink.events.empty());
}

TEST(WireInt32Test, RoundTripsAndByteOrder) {
    const std::vector<std::pair<std::int32_t, Bytes>> cases = {
        {0, {0, 0, 0, 0}},
        {300, {0x2C, 0x01, 0, 0}},
        {-1000, {0x18, 0xFC, 0xFF, 0xFF}},
        {1000, {0xE8, 0x03, 0, 0}},
        {INT32_MAX, {0xFF, 0xFF, 0xFF, 0x7F}},
        {INT32_MIN, {0, 0, 0, 0x80}},
    };
    for (const auto& [value, bytes] : cases) {
        SCOPED_TRACE(value);
        Bytes written(4);
        WireInt32::Write(value, written.data());
        EXPECT_EQ(written, bytes);
        EXPECT_EQ(WireInt32::Read(bytes.data()), value);
    }
}

} // namespace
