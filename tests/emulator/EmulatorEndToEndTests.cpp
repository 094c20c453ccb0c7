// The tool's device side (HID controller classes, reader thread, hand-over,
// senders and reply handling) talking to the emulated controller on the
// simulated back end, with the emulator's clock in the test's hand.

#include <atomic>
#include <chrono>

#include <gtest/gtest.h>

#include "EmulatorPeer.h"
#include "EmulatorTestKit.h"
#include "LinkedTool.h"
#include "SinkRecorder.h"

namespace {

using namespace std::chrono_literals;

class EmulatorEndToEnd : public ::testing::Test, protected LinkedTool<SinkRecorder> {
protected:
    void SetUp() override {
        ASSERT_TRUE(connected);
        peer.reset(); // the emulator answers instead of the scripted controller
        emulated =
            std::make_unique<EmulatorPeer>(*backend, deviceId, [this] { return now.load(); });
    }
    void TearDown() override { emulated.reset(); }

    bool PumpUntil(const std::function<bool()>& done) { return dispatcher->PumpUntil(done, 10s); }
    bool Seen(const std::string& event) const {
        return std::find(sink.events.begin(), sink.events.end(), event) != sink.events.end();
    }

    std::atomic<std::int64_t> now{0};
    std::unique_ptr<EmulatorPeer> emulated;
};

TEST_F(EmulatorEndToEnd, ProgramSentReadBackRunAndWatched) {
    emulator_kit::Store(programs, 2, emulator_kit::OutAndBackThreeTimes());
    const ProgramSet sent = programs;

    ASSERT_TRUE(messages->SendProgram(2, sink));
    ASSERT_TRUE(PumpUntil(
        [&] { return Seen("status:Program został zapisany do pamięci wewnetrznej urządzenia"); }));
    emulated->With([&](ControllerEmulator& emu) {
        EXPECT_TRUE(std::equal(sent.LineBytes(2, 0), sent.LineBytes(2, 0) + ProgramBytes,
                               emu.Programs().LineBytes(2, 0)));
    });

    programs.ClearProgram(2);
    ASSERT_TRUE(messages->ReadProgram(2, sink));
    ASSERT_TRUE(PumpUntil(
        [&] { return Seen("status:Program został odczytany z pamieci wewnetrznej urządzenia"); }));
    EXPECT_TRUE(std::equal(sent.Data(), sent.Data() + ProgramSetBytes, programs.Data()));

    // Run it; 6 s later the axis is halfway out at full speed.
    messages->RunProgram(2);
    ASSERT_TRUE(
        PumpUntil([&] { return Seen("status:Program z pamięci wewnętrznej został uruchomiony"); }));
    now = 6000;
    messages->SendRequest(MessageLetter::StatusPoll);
    ASSERT_TRUE(PumpUntil([&] { return Seen("chart:5000,1000"); }));
    now = 12000 + 200 + 6000;
    messages->SendRequest(MessageLetter::StatusPoll);
    ASSERT_TRUE(PumpUntil([&] { return Seen("chart:5000,-1000"); }));
    EXPECT_TRUE(emulated->TakeFaults().empty());
}

} // namespace
