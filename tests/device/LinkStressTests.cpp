// The device link under load: an emulated KX-RD4 is plugged and unplugged
// 1 000 times from another thread while the user-interface thread polls its
// status without pause and runs program transfers, through the real controller
// classes, reader threads and hand-over on the simulated back end.

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ControllerMessages.h"
#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "DeviceReportProcessor.h"
#include "EmulatorPeer.h"
#include "LinkedTool.h"
#include "PumpedUiDispatcher.h"
#include "SimulatedHidBackend.h"
#include "TJvHidDeviceController.h"
#include "WireInt32.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int Cycles = 1000;
constexpr std::string_view Stored = "Program został zapisany do pamięci wewnetrznej urządzenia";
constexpr std::string_view ReadDone = "Program został odczytany z pamieci wewnetrznej urządzenia";

// Counts the rescans that changed the device set (each releases every device
// and selects anew); a new object may reuse the address of a released one.
class RescanCounter : public LinkStateSink {
public:
    void ClearDeviceList() override { ++rescans; }
    int rescans = 0;
};

// Keeps the progress bar and counts the messages of completed transfers.
class TransferSink : public DeviceReportSink {
public:
    void AppendHexLog(std::string_view) override {}
    void AppendTextLog(std::string_view) override {}
    void ShowStatus(std::string_view message, bool) override {
        successes += message == Stored || message == ReadDone ? 1 : 0;
    }
    void SetValueField(std::string_view, std::int32_t) override {}
    void SetNoNc(std::optional<int>) override {}
    void AddChartSample(std::int32_t, std::int32_t) override {}
    void SetProgress(int value) override { progress = value; }
    void AdvanceProgress() override { ++progress; }
    void RenderProgram() override {}

    int successes = 0;
    int progress = -1;
};

class LinkStress : public ::testing::Test {
protected:
    void SetUp() override {
        controller = std::make_unique<TJvHidDeviceController>(backend, dispatcher);
        link = std::make_unique<DeviceLink>(
            *controller, linkSink,
            [this](TJvHidDevice& device, std::uint8_t, const std::uint8_t* data,
                   std::uint16_t size) { Deliver(device, data, size); });
        output = std::make_unique<CurrentDeviceOutput>(*link);
        messages = std::make_unique<ControllerMessages>(*output, programs);
        processor = std::make_unique<DeviceReportProcessor>(programs, *messages, sink);
    }
    void TearDown() override {
        link->Shutdown();
        link.reset();
        controller.reset();
        emulators.clear();
    }

    // The data handler of the current device, on the user-interface thread.
    void Deliver(TJvHidDevice& device, const std::uint8_t* data, std::uint16_t size) {
        // Outside the current device only while a rescan releases and claims
        // devices (a reader being stopped may finish its hand-over).
        if (&device != link->CurrentDevice() && !controller->InDeviceChange()) {
            ++foreignDeliveries;
        }
        const std::uint8_t letter = size > 0 ? data[0] : 0;
        if (letter == LetterByte(MessageLetter::StatusPoll) ||
            letter == LetterByte(MessageLetter::VminRead)) {
            // Requests go in pairs, StatusPoll then VminRead, the next pair
            // after the reply to the last: the replies alternate.
            if (letter != expectedLetter) {
                ++lostOrReordered;
            }
            const bool pairDone = letter == LetterByte(MessageLetter::VminRead);
            expectedLetter =
                LetterByte(pairDone ? MessageLetter::StatusPoll : MessageLetter::VminRead);
            pollAnswered = pollAnswered || pairDone;
            ++pollReplies;
        } else if (size >= 3 && (letter == LetterByte(MessageLetter::LineWrite) ||
                                 letter == LetterByte(MessageLetter::LineRead))) {
            // A transfer's replies name its lines one after the other.
            if (data[2] != nextLine) {
                ++lostOrReordered;
            }
            nextLine = data[2] + 1;
        }
        const int before = Successes();
        processor->Process(data, size);
        if (Successes() != before) {
            // Only the transfer running on this very device may succeed.
            if (&device == transferDevice && !transferDone) {
                transferDone = true;
                ++completedTransfers;
                completedCycle = transferCycle;
            } else {
                ++foreignSuccesses;
            }
        }
    }

    int Successes() const { return sink.successes; }

    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    std::shared_ptr<PumpedUiDispatcher> dispatcher = std::make_shared<PumpedUiDispatcher>();
    RescanCounter linkSink;
    ProgramSet programs;
    TransferSink sink;
    std::unique_ptr<TJvHidDeviceController> controller;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<CurrentDeviceOutput> output;
    std::unique_ptr<ControllerMessages> messages;
    std::unique_ptr<DeviceReportProcessor> processor;

    // User-interface thread only.
    std::vector<std::unique_ptr<EmulatorPeer>> emulators;
    std::uint8_t expectedLetter = LetterByte(MessageLetter::StatusPoll);
    int nextLine = 0;
    bool pollAnswered = true;
    int foreignDeliveries = 0;
    int lostOrReordered = 0;
    int pollReplies = 0;
    int deliveries = 0;
    TJvHidDevice* transferDevice = nullptr;
    int transferCycle = -1;
    bool transferDone = true;
    int completedTransfers = 0;
    int foreignSuccesses = 0;
    std::atomic<int> completedCycle{-1};
};

TEST_F(LinkStress, ThousandPlugCyclesWithPollsAndTransfers) {
    // Even cycles keep the device until the transfer on it has completed;
    // odd ones unplug it at a random moment, mostly in the middle of one.
    std::atomic<int> pluggedCycle{-1};
    std::atomic<bool> osDone{false};
    std::atomic<bool> stuck{false};
    std::set<SimulatedHidBackend::DeviceId> peered;

    std::thread os([&] {
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> cutAfter(0, 3000);
        for (int cycle = 0; cycle < Cycles && !stuck; ++cycle) {
            SimulatedHidBackend::DeviceSpec kxrd4;
            kxrd4.ProductString = u"KX-RD4";
            pluggedCycle = cycle; // before the plug, which the link may see at once
            const SimulatedHidBackend::DeviceId id = backend->Plug(kxrd4);
            if (cycle % 2 == 0) {
                const auto deadline = Clock::now() + 20s;
                while (completedCycle < cycle && Clock::now() < deadline) {
                    std::this_thread::sleep_for(50us);
                }
                stuck = stuck || completedCycle < cycle;
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(cutAfter(random)));
            }
            backend->Unplug(id);
        }
        osDone = true;
    });

    // The user-interface thread.
    TJvHidDevice* current = nullptr;
    int rescansSeen = 0;
    int cutTransfers = 0;
    int cutShownComplete = 0;
    const auto deadline = Clock::now() + 300s;
    while (!osDone && Clock::now() < deadline) {
        const int seen = deliveries;
        dispatcher->PumpUntil(
            [&] {
                return deliveries != seen || link->CurrentDevice() != current ||
                       linkSink.rescans != rescansSeen;
            },
            1ms);
        TJvHidDevice* now = link->CurrentDevice();
        if (now != current || linkSink.rescans != rescansSeen) {
            rescansSeen = linkSink.rescans;
            if (current != nullptr && !transferDone) {
                ++cutTransfers;
                cutShownComplete += sink.progress == LinesPerProgram ? 1 : 0;
            }
            current = now;
            // The controllers answer from their first request on: every
            // plugged one gets its emulator before the link writes to it.
            for (const SimulatedHidBackend::DeviceId id : backend->PluggedDevices()) {
                if (peered.insert(id).second) {
                    emulators.push_back(std::make_unique<EmulatorPeer>(*backend, id));
                }
            }
            pollAnswered = true;
            expectedLetter = LetterByte(MessageLetter::StatusPoll);
            nextLine = 0;
            transferDevice = current;
            transferDone = current == nullptr;
            if (current != nullptr) {
                // A fresh transfer on the new device, alternately send and read.
                transferCycle = pluggedCycle;
                if (transferCycle % 4 < 2) {
                    messages->SendProgram(static_cast<std::uint8_t>(transferCycle % 10), sink);
                } else {
                    messages->ReadProgram(static_cast<std::uint8_t>(transferCycle % 10), sink);
                }
            }
        }
        if (current != nullptr && pollAnswered) {
            pollAnswered = false;
            messages->SendRequest(MessageLetter::StatusPoll);
            messages->SendRequest(MessageLetter::VminRead);
        }
    }
    stuck = stuck || !osDone;
    os.join();

    ASSERT_FALSE(stuck)
        << "a cycle did not complete its transfer (deadlock or lost reply): plugged "
        << pluggedCycle << ", completed " << completedCycle << ", transfers " << completedTransfers
        << ", polls " << pollReplies;
    EXPECT_EQ(foreignDeliveries, 0);
    EXPECT_EQ(lostOrReordered, 0);
    EXPECT_EQ(cutShownComplete, 0);
    EXPECT_EQ(foreignSuccesses, 0);
    EXPECT_GE(completedTransfers, Cycles / 2);
    EXPECT_GT(cutTransfers, 0);
    EXPECT_GT(pollReplies, Cycles);
    // Everything settles: the last device is gone and no reader is left.
    EXPECT_TRUE(dispatcher->PumpUntil([&] { return link->CurrentDevice() == nullptr; }, 10s));
    RecordProperty("cut_transfers", cutTransfers);
    RecordProperty("completed_transfers", completedTransfers);
    RecordProperty("poll_replies", pollReplies);
    std::printf("stress: %d cycles, %d transfers completed, %d cut, %d status replies\n", Cycles,
                completedTransfers, cutTransfers, pollReplies);
}

} // namespace
