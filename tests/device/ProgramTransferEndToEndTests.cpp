// A program sent to a scripted controller and read back through the real HID
// controller classes, reader thread and hand-over, on the simulated back end.

#include <chrono>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "LinkedTool.h"
#include "SinkRecorder.h"

namespace {

using namespace std::chrono_literals;

class ProgramTransferEndToEnd : public ::testing::Test, protected LinkedTool<SinkRecorder> {
protected:
    void SetUp() override {
        ASSERT_TRUE(connected);
        ASSERT_EQ(linkSink.connection, DeviceLink::Connected);
    }

    bool PumpUntil(const std::function<bool()>& done) { return dispatcher->PumpUntil(done, 10s); }

    int Count(const std::string& event) const {
        return static_cast<int>(std::count(sink.events.begin(), sink.events.end(), event));
    }
};

TEST_F(ProgramTransferEndToEnd, ProgramSentAndReadBackKeepsAllTwoHundredBytes) {
    // Every byte of P3 distinct from zero and random, unused operand bytes too.
    std::mt19937 random(3);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int i = 0; i < ProgramBytes; ++i) {
        programs.LineBytes(3, 0)[i] = static_cast<std::uint8_t>(byte(random));
    }
    const std::vector<std::uint8_t> sent(programs.LineBytes(3, 0),
                                         programs.LineBytes(3, 0) + ProgramBytes);

    const std::string stored = "status:Program został zapisany do pamięci wewnetrznej urządzenia";
    ASSERT_TRUE(messages->SendProgram(3, sink));
    ASSERT_TRUE(PumpUntil([&] { return Count(stored) == 1; }));
    EXPECT_EQ(sink.progress, 25);
    EXPECT_EQ(peer->lineWrites, 25);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), peer->memory.LineBytes(3, 0)));
    for (const auto& report : backend->Written(deviceId)) {
        EXPECT_EQ(report.size(), 65u);
    }

    // On the controller the program is copied to P7; the operator reads P7.
    std::copy_n(peer->memory.LineBytes(3, 0), ProgramBytes, peer->memory.LineBytes(7, 0));
    const std::string read = "status:Program został odczytany z pamieci wewnetrznej urządzenia";
    ASSERT_TRUE(messages->ReadProgram(7, sink));
    ASSERT_TRUE(PumpUntil([&] { return Count(read) == 1; }));
    EXPECT_EQ(peer->lineReads, 25);
    EXPECT_EQ(Count("render"), 1);
    EXPECT_EQ(sink.progress, 25);
    const std::vector<std::uint8_t> p7(programs.LineBytes(7, 0),
                                       programs.LineBytes(7, 0) + ProgramBytes);
    EXPECT_EQ(p7, sent);
    // Nothing else of the set changed.
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), programs.LineBytes(3, 0)));
    EXPECT_EQ(std::count(programs.Data(), programs.Data() + ProgramSetBytes, 0),
              ProgramSetBytes - 2 * ProgramBytes);
    // 2 starts + 48 chained requests, all written.
    EXPECT_EQ(backend->Written(deviceId).size(), 50u);
}

TEST_F(ProgramTransferEndToEnd, UnpluggedMidTransferTheChainJustStops) {
    backend->SetPeer(deviceId, [this](SimulatedHidBackend::DeviceId id,
                                      const std::vector<std::uint8_t>& report) {
        // Answers lines 0..9, then the device is gone.
        if (report[3] < 10) {
            std::vector<std::uint8_t> reply(65, 0);
            reply[0] = 1;
            reply[1] = report[1];
            reply[2] = report[2];
            reply[3] = report[3];
            backend->InjectReport(id, std::move(reply));
        }
    });
    ASSERT_TRUE(messages->SendProgram(0, sink));
    ASSERT_TRUE(PumpUntil([&] { return sink.progress == 10; }));
    backend->Unplug(deviceId);
    controller->CheckNotifications();
    ASSERT_TRUE(PumpUntil([&] { return link->CurrentDevice() == nullptr; }));
    // A new transfer with no device: nothing is written, only the bar moves.
    const auto writtenBefore = backend->Written(deviceId).size();
    EXPECT_TRUE(messages->SendProgram(0, sink));
    EXPECT_EQ(sink.progress, 0);
    EXPECT_EQ(backend->Written(deviceId).size(), writtenBefore);
    EXPECT_EQ(linkSink.connection, DeviceLink::Disconnected);
}

} // namespace
