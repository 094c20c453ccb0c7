#pragma once
// The command-line tool's link to the KX-RD4: the same HID controller classes,
// device selection, message senders and reply handling as the window, driven
// by the calling thread (which pumps the hand-over), with a time-out on every
// awaited reply. Only the reply to the request in flight is acted on; replies
// meant for someone else (the window polling the chart at the same time) are
// ignored.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ControllerMessages.h"
#include "CurrentDeviceOutput.h"
#include "DeviceChoice.h"
#include "DeviceLink.h"
#include "DeviceLinkSink.h"
#include "DeviceReportProcessor.h"
#include "DeviceReportSink.h"
#include "HidBackend.h"
#include "MessageLetter.h"
#include "MotionRecorder.h"
#include "ProgramSet.h"
#include "PumpedUiDispatcher.h"
#include "TJvHidDeviceController.h"

class ControllerSession : private DeviceReportSink, private DeviceLinkSink {
public:
    struct DeviceEntry {
        std::string name;   // as the "Opcje" list shows it
        std::string path;   // empty when the device could not be claimed
        std::string serial; // empty when the device has none
        std::string port;   // the USB port, empty when unknown
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        bool writable = false;
        bool selected = false;
    };

    // What one awaited reply gave.
    struct Reply {
        std::string status; // the window's status message for it, if any
        std::optional<std::int32_t> value;
        std::optional<int> contactType; // HomeRead: 0 = NO, 1 = NC
    };

    // Scans the devices once (the window's first scan). interrupted, when set,
    // ends every wait early.
    ControllerSession(std::shared_ptr<HidBackend> backend, std::chrono::milliseconds timeout,
                      const std::atomic<bool>* interrupted = nullptr);
    ~ControllerSession() override;
    ControllerSession(const ControllerSession&) = delete;
    ControllerSession& operator=(const ControllerSession&) = delete;

    // What the last failed call ran into, for callers that tell failures
    // apart (the library's status codes); the reason in words is its error.
    enum class Failure {
        None,
        NotReady,     // no HID support, no KX-RD4 selected, or no write access
        TimedOut,     // no reply within the time-out
        Disconnected, // the KX-RD4 went away
        Interrupted,  // the wait was interrupted
        Busy,         // another writer holds the KX-RD4 (LockController)
        BadReply,     // a reply too short to carry its fields
    };
    Failure LastFailure() const { return failure_; }

    bool HidAvailable() const;
    std::vector<DeviceEntry> Devices() const;

    // Picks the KX-RD4 to talk to (see DeviceChoice) and makes it current.
    DeviceChoice Choose(const std::optional<std::string>& selector);

    // A KX-RD4 that can be written and read is selected; otherwise false with
    // the reason.
    bool Ready(std::string& error) const;

    // Sends the message (SendRequest, SendValue, SendByte or SendHoming with
    // letter) and waits for its reply. False with the reason on time-out, loss
    // of the device or a reply too short to carry its fields.
    bool Request(MessageLetter letter, Reply& reply, std::string& error);
    bool Value(MessageLetter letter, std::int32_t value, Reply& reply, std::string& error);
    bool Byte(MessageLetter letter, std::uint8_t value, Reply& reply, std::string& error);
    bool Homing(std::int32_t value, std::uint8_t contactType, Reply& reply, std::string& error);

    // One StatusPoll: the position and the velocity.
    bool Status(std::int32_t& position, std::int32_t& velocity, std::string& error);
    // Stops the axis (MotorStop: a deceleration at A max, so the position
    // stays true), after halting program when given (else a program could
    // start the next move). Sent and awaited even after an interruption: this
    // is what an interruption sends.
    bool StopMotion(std::optional<int> program, std::string& error);

    // The program transfers, line by line, each line's reply awaited with the
    // time-out; a write then awaits the controller's ProgramStored. programs is where SendProgram
    // takes its lines from and ReadProgram stores them. On failure the reason names the line
    // reached.
    // Each transfer holds the controller (LockController) while it runs.
    bool SendProgram(ProgramSet& programs, int program, std::string& error);
    bool ReadProgram(ProgramSet& programs, int program, std::string& error);

    // Holds the KX-RD4 in use for exchanges that must not interleave with
    // another writer's, in this or another process (DeviceLock), until as
    // many UnlockController calls; the session's end lets go too. Waits up to
    // the time-out while another holds it, then fails with the reason naming
    // the holder. Reading the status needs no hold.
    bool LockController(std::string& error);
    void UnlockController();

    // StatusPoll every period until seconds have passed (forever when 0),
    // the wait is interrupted or sample returns false; each reply goes to
    // sample with the milliseconds since the start. False with the reason
    // when replies stop.
    bool Watch(std::chrono::milliseconds period, double seconds,
               const std::function<bool(std::int64_t ms, std::int32_t position,
                                        std::int32_t velocity)>& sample,
               std::string& error);

    // Records the axis with recorder (made with PollSender) until it ends:
    // starts it, runs atStart (the program start, say: its exchanges go on
    // while the polls do; false with the reason stops the recording and
    // fails), then hands it every StatusPoll reply and ticks it every few ms.
    // An interruption stops it (Stopped), a lost device ends it (NoAnswer);
    // both still return true with what was recorded. False with the reason
    // when the KX-RD4 is not ready or atStart fails.
    bool Record(MotionRecorder& recorder, const std::function<bool(std::string&)>& atStart,
                std::string& error);
    // Writes one StatusPoll whose reply goes to the recording.
    MotionRecorder::SendPoll PollSender();
    // Seconds of the steady clock (the recorder's clock).
    static double SteadySeconds();

private:
    // DeviceReportSink
    void AppendHexLog(std::string_view) override {}
    void AppendTextLog(std::string_view) override {}
    void ShowStatus(std::string_view utf8Message, bool repaintNow) override;
    void SetValueField(std::string_view fieldName, std::int32_t value) override;
    void SetNoNc(std::optional<int> index) override;
    void AddChartSample(std::int32_t position, std::int32_t velocity) override;
    void SetProgress(int) override {}
    void AdvanceProgress() override {}
    void RenderProgram() override {}
    // DeviceLinkSink
    void ClearDeviceList() override {}
    void AddDeviceEntry(const std::string&, TJvHidDevice*) override {}
    void ShowStatus(const std::string&) override {}
    void ShowConnection(const std::string&, const std::string&) override {}

    struct Expected {
        std::uint8_t letter = 0;
        int program = -1; // line messages: the program and line the reply must name
        int line = -1;
    };
    void OnReport(const std::uint8_t* data, std::size_t size);
    // Sends with send and waits for the reply to the expectation.
    bool Exchange(Expected expected, const std::function<void()>& send, Reply& reply,
                  std::string& error);
    // Pumps until done, the device is gone, the time-out or an interruption;
    // true when done.
    enum class WaitEnd { Done, TimedOut, DeviceGone, Interrupted };
    WaitEnd Wait(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    static Failure FailureOf(WaitEnd end);
    void CheckNotifications();
    bool DeviceGone() const;
    void Hold(TJvHidDevice* device);
    void FollowRescan();
    bool Transfer(ProgramSet& programs, int program, bool write, std::string& error);

    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<PumpedUiDispatcher> dispatcher_ = std::make_shared<PumpedUiDispatcher>();
    std::chrono::milliseconds timeout_;
    const std::atomic<bool>* interrupted_;
    ProgramSet programs_; // the set the reply handling works on
    std::unique_ptr<TJvHidDeviceController> controller_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<CurrentDeviceOutput> output_;
    std::unique_ptr<ControllerMessages> messages_;
    std::unique_ptr<DeviceReportProcessor> processor_;
    std::unique_ptr<DeviceLock> lock_; // the hold of the KX-RD4 (LockController)
    int lockDepth_ = 0;
    TJvHidDevice* device_ = nullptr; // the KX-RD4 selected at the start
    std::uint32_t deviceNode_ = 0;   // its device instance and path, to know it
    std::string devicePath_;         // again after a rescan

    mutable Failure failure_ = Failure::None;
    bool stopping_ = false; // StopMotion: waits are not interrupted
    std::optional<Expected> expected_;
    bool replied_ = false;
    int confirmedLine_ = -1;      // the last line of the transfer whose reply came
    bool awaitingStored_ = false; // a write: ProgramStored follows its last line
    bool stored_ = false;
    Reply reply_;
    int pendingPolls_ = 0;
    MotionRecorder* recorder_ = nullptr; // Record: where the StatusPoll replies go
    std::vector<std::pair<std::int32_t, std::int32_t>> samples_;
};
