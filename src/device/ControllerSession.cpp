#include "ControllerSession.h"

#include <algorithm>
#include <cstdio>

#include "DeviceNotifications.h"
#include "TJvHidDevice.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string LineText(int program, int line) {
    char text[32];
    std::snprintf(text, sizeof text, "line %02d of P%d", line, program);
    return text;
}

} // namespace

ControllerSession::Failure ControllerSession::FailureOf(WaitEnd end) {
    switch (end) {
    case WaitEnd::Done:
        return Failure::None;
    case WaitEnd::DeviceGone:
        return Failure::Disconnected;
    case WaitEnd::Interrupted:
        return Failure::Interrupted;
    case WaitEnd::TimedOut:
        break;
    }
    return Failure::TimedOut;
}

ControllerSession::ControllerSession(std::shared_ptr<HidBackend> backend,
                                     std::chrono::milliseconds timeout,
                                     const std::atomic<bool>* interrupted)
    : backend_(std::move(backend)), timeout_(timeout), interrupted_(interrupted) {
    controller_ = std::make_unique<TJvHidDeviceController>(backend_, dispatcher_);
    link_ =
        std::make_unique<DeviceLink>(*controller_, static_cast<DeviceLinkSink&>(*this),
                                     [this](TJvHidDevice&, std::uint8_t, const std::uint8_t* data,
                                            std::uint16_t size) { OnReport(data, size); });
    output_ = std::make_unique<CurrentDeviceOutput>(*link_);
    messages_ = std::make_unique<ControllerMessages>(*output_, programs_);
    processor_ = std::make_unique<DeviceReportProcessor>(programs_, *messages_,
                                                         static_cast<DeviceReportSink&>(*this));
    // The initial notification: the first scan and the selection.
    dispatcher_->Pump();
    Hold(link_->CurrentDevice());
}

void ControllerSession::Hold(TJvHidDevice* device) {
    device_ = device;
    deviceNode_ = device != nullptr ? device->PnPInfo().DevInst : 0;
    devicePath_ = device != nullptr ? device->PnPInfo().InterfacePath : std::string();
}

void ControllerSession::FollowRescan() {
    // Another device plugged or unplugged rebuilds the list: the same
    // controller, still in use, comes back as a fresh object.
    TJvHidDevice* now = link_->CurrentDevice();
    if (device_ != nullptr && now != nullptr && now != device_ &&
        now->PnPInfo().DevInst == deviceNode_ && now->PnPInfo().InterfacePath == devicePath_) {
        device_ = now;
    }
}

ControllerSession::~ControllerSession() {
    link_->Shutdown(); // stops the reader before anything it uses goes
    processor_.reset();
    messages_.reset();
    output_.reset();
    link_.reset();
    controller_.reset();
}

bool ControllerSession::HidAvailable() const {
    return backend_->Available();
}

std::vector<ControllerSession::DeviceEntry> ControllerSession::Devices() const {
    std::vector<DeviceEntry> entries;
    for (int i = 0; i < link_->EntryCount(); ++i) {
        DeviceEntry entry;
        entry.name = link_->EntryText(i);
        if (TJvHidDevice* device = link_->EntryDevice(i)) {
            entry.path = device->PnPInfo().InterfacePath;
            entry.serial = link_->EntryIdentity(i).serial;
            entry.port = link_->EntryIdentity(i).port;
            entry.vendorId = device->VendorID();
            entry.productId = device->ProductID();
            entry.writable = device->ReadWriteAccess();
            entry.selected = device == link_->CurrentDevice();
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

DeviceChoice ControllerSession::Choose(const std::optional<std::string>& selector) {
    DeviceChoice choice = DeviceChoice::Make(*link_, selector);
    if (choice.outcome == DeviceChoice::Outcome::Chosen) {
        link_->Select(choice.index);
        Hold(link_->CurrentDevice());
    }
    return choice;
}

bool ControllerSession::Ready(std::string& error) const {
    failure_ = Failure::NotReady;
    if (!backend_->Available()) {
        error = "no HID support on this system";
        return false;
    }
    if (device_ == nullptr) {
        const int count = link_->EntryCount();
        error = "no KX-RD4 is connected (" +
                (count == 0 ? std::string("no HID devices found")
                            : std::to_string(count) +
                                  " HID devices found, none of them a KX-RD4; see \"kxrd4-cli "
                                  "devices\"") +
                ")";
        return false;
    }
    if (!device_->ReadWriteAccess()) {
        error = "the KX-RD4 at " + device_->PnPInfo().InterfacePath +
                " can only be queried, not read and written: no permission (install "
                "packaging/70-kxrd4.rules and plug it in again)";
        return false;
    }
    return true;
}

void ControllerSession::ShowStatus(std::string_view utf8Message, bool) {
    reply_.status = std::string(utf8Message);
}

void ControllerSession::SetValueField(std::string_view, std::int32_t value) {
    reply_.value = value;
}

void ControllerSession::SetNoNc(std::optional<int> index) {
    reply_.contactType = index;
}

void ControllerSession::AddChartSample(std::int32_t position, std::int32_t velocity) {
    if (recorder_ != nullptr) {
        recorder_->OnStatus(position, velocity);
        return;
    }
    samples_.emplace_back(position, velocity);
}

void ControllerSession::OnReport(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || data == nullptr) {
        return;
    }
    const std::uint8_t letter = data[0];
    if (letter == LetterByte(MessageLetter::ProgramStored)) {
        // Counts only after the last line of our own write was answered.
        if (awaitingStored_ && confirmedLine_ == LinesPerProgram - 1) {
            stored_ = true;
            processor_->Process(data, size);
        }
        return;
    }
    if (letter == LetterByte(MessageLetter::StatusPoll) && pendingPolls_ > 0) {
        --pendingPolls_;
        processor_->Process(data, size);
        return;
    }
    if (!expected_ || letter != expected_->letter) {
        return; // not the reply to our request
    }
    if (expected_->program >= 0 &&
        (size < 3 || data[1] != expected_->program || data[2] != expected_->line)) {
        return; // a line of someone else's transfer
    }
    if (expected_->program >= 0) {
        // The reply handling sends the next line at once; its reply may be
        // handed over before the waiting loop looks again.
        confirmedLine_ = expected_->line;
        if (expected_->line + 1 < LinesPerProgram) {
            expected_->line += 1;
        } else {
            expected_.reset();
        }
    } else {
        expected_.reset();
    }
    replied_ = true;
    processor_->Process(data, size);
}

void ControllerSession::CheckNotifications() {
    ServeDeviceNotifications(*backend_, *controller_);
}

bool ControllerSession::DeviceGone() const {
    return link_->CurrentDevice() != device_ || device_ == nullptr;
}

ControllerSession::WaitEnd ControllerSession::Wait(const std::function<bool()>& done,
                                                   std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto now = Clock::now();
        const auto slice = std::min<std::chrono::milliseconds>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now),
            std::chrono::milliseconds(10));
        dispatcher_->PumpUntil([&] { return done() || DeviceGone(); },
                               std::max(slice, std::chrono::milliseconds(0)));
        if (done()) {
            return WaitEnd::Done;
        }
        CheckNotifications();
        FollowRescan();
        dispatcher_->Pump();
        // What was pumped may have rebuilt the list again.
        FollowRescan();
        if (done()) {
            return WaitEnd::Done;
        }
        if (DeviceGone()) {
            return WaitEnd::DeviceGone;
        }
        if (!stopping_ && interrupted_ != nullptr && interrupted_->load()) {
            return WaitEnd::Interrupted;
        }
        if (Clock::now() >= deadline) {
            return WaitEnd::TimedOut;
        }
    }
}

bool ControllerSession::Exchange(Expected expected, const std::function<void()>& send, Reply& reply,
                                 std::string& error) {
    if (!Ready(error)) {
        return false;
    }
    reply_ = Reply{};
    replied_ = false;
    expected_ = expected;
    send();
    const WaitEnd end = Wait([this] { return replied_; }, timeout_);
    expected_.reset();
    reply = reply_;
    switch (end) {
    case WaitEnd::Done:
        return true;
    case WaitEnd::DeviceGone:
        failure_ = Failure::Disconnected;
        error = "the KX-RD4 was disconnected";
        return false;
    case WaitEnd::Interrupted:
        failure_ = Failure::Interrupted;
        error = "interrupted";
        return false;
    case WaitEnd::TimedOut:
        break;
    }
    failure_ = Failure::TimedOut;
    error = "no answer from the KX-RD4 within " + std::to_string(timeout_.count()) + " ms";
    return false;
}

bool ControllerSession::Request(MessageLetter letter, Reply& reply, std::string& error) {
    return Exchange(
        {LetterByte(letter)}, [&] { messages_->SendRequest(letter); }, reply, error);
}

bool ControllerSession::Value(MessageLetter letter, std::int32_t value, Reply& reply,
                              std::string& error) {
    return Exchange(
        {LetterByte(letter)}, [&] { messages_->SendValue(letter, value); }, reply, error);
}

bool ControllerSession::StopMotion(std::optional<int> program, std::string& error) {
    stopping_ = true;
    Reply reply;
    bool ok = true;
    if (program) {
        ok = Byte(MessageLetter::ProgramHalt, static_cast<std::uint8_t>(*program), reply, error);
    }
    std::string stopError;
    // The stop goes out even when the halt found no answer.
    if (!Request(MessageLetter::MotorStop, reply, stopError)) {
        if (ok) {
            error = stopError;
        }
        ok = false;
    }
    stopping_ = false;
    return ok;
}

bool ControllerSession::Byte(MessageLetter letter, std::uint8_t value, Reply& reply,
                             std::string& error) {
    return Exchange(
        {LetterByte(letter)}, [&] { messages_->SendByte(letter, value); }, reply, error);
}

bool ControllerSession::Homing(std::int32_t value, std::uint8_t contactType, Reply& reply,
                               std::string& error) {
    return Exchange(
        {LetterByte(MessageLetter::HomeStart)}, [&] { messages_->SendHoming(value, contactType); },
        reply, error);
}

bool ControllerSession::Status(std::int32_t& position, std::int32_t& velocity, std::string& error) {
    samples_.clear();
    Reply reply;
    if (!Request(MessageLetter::StatusPoll, reply, error)) {
        return false;
    }
    if (samples_.empty()) {
        failure_ = Failure::BadReply;
        error = "the KX-RD4's answer was too short to carry the position and velocity";
        return false;
    }
    position = samples_.back().first;
    velocity = samples_.back().second;
    samples_.clear();
    return true;
}

bool ControllerSession::Transfer(ProgramSet& programs, int program, bool write,
                                 std::string& error) {
    if (!Ready(error)) {
        return false;
    }
    const MessageLetter letter = write ? MessageLetter::LineWrite : MessageLetter::LineRead;
    std::copy_n(programs.LineBytes(program, 0), ProgramBytes, programs_.LineBytes(program, 0));
    confirmedLine_ = -1;
    awaitingStored_ = write;
    stored_ = false;
    expected_ = Expected{LetterByte(letter), program, 0};
    // Line 0 starts the transfer; the reply handling sends each next line as
    // the window does.
    if (write) {
        messages_->SendLine(program, 0);
    } else {
        messages_->RequestLine(program, 0);
    }
    while (confirmedLine_ < LinesPerProgram - 1) {
        const int before = confirmedLine_;
        const WaitEnd end = Wait([&] { return confirmedLine_ != before; }, timeout_);
        if (end == WaitEnd::Done) {
            continue;
        }
        expected_.reset();
        const int line = confirmedLine_ + 1;
        const std::string where = LineText(program, line);
        const std::string done = line == 0 ? std::string("no line was confirmed")
                                           : "lines 00 to " + std::string(line <= 10 ? "0" : "") +
                                                 std::to_string(line - 1) + " were confirmed";
        failure_ = FailureOf(end);
        switch (end) {
        case WaitEnd::DeviceGone:
            error = "the KX-RD4 was disconnected at " + where + " (" + done + ")";
            break;
        case WaitEnd::Interrupted:
            error = "interrupted at " + where + " (" + done + ")";
            break;
        default:
            error = "no answer from the KX-RD4 within " + std::to_string(timeout_.count()) +
                    " ms at " + where + " (" + done + ")";
            break;
        }
        awaitingStored_ = false;
        return false;
    }
    expected_.reset();
    if (write) {
        // The controller reports the program stored after the last line.
        const WaitEnd end = Wait([this] { return stored_; }, timeout_);
        awaitingStored_ = false;
        if (end != WaitEnd::Done) {
            failure_ = FailureOf(end);
            error = "all 25 lines of P" + std::to_string(program) + " were answered, but " +
                    (end == WaitEnd::DeviceGone ? std::string("the KX-RD4 was disconnected")
                     : end == WaitEnd::Interrupted
                         ? std::string("the wait was interrupted")
                         : "the KX-RD4 did not report the program stored within " +
                               std::to_string(timeout_.count()) + " ms");
            return false;
        }
    }
    if (!write) {
        std::copy_n(programs_.LineBytes(program, 0), ProgramBytes, programs.LineBytes(program, 0));
    }
    return true;
}

bool ControllerSession::SendProgram(ProgramSet& programs, int program, std::string& error) {
    if (!LockController(error)) {
        return false;
    }
    const bool sent = Transfer(programs, program, true, error);
    UnlockController();
    return sent;
}

bool ControllerSession::ReadProgram(ProgramSet& programs, int program, std::string& error) {
    if (!LockController(error)) {
        return false;
    }
    const bool read = Transfer(programs, program, false, error);
    UnlockController();
    return read;
}

bool ControllerSession::LockController(std::string& error) {
    if (lockDepth_ > 0) {
        ++lockDepth_;
        return true;
    }
    if (!Ready(error)) {
        return false;
    }
    const std::string path = device_->PnPInfo().InterfacePath;
    std::string holder;
    const auto start = Clock::now();
    const WaitEnd end = Wait(
        [&] {
            if (!lock_) {
                lock_ = backend_->TryLock(path, holder);
            }
            return lock_ != nullptr;
        },
        timeout_);
    if (end == WaitEnd::Done) {
        lockDepth_ = 1;
        return true;
    }
    lock_.reset();
    failure_ = end == WaitEnd::TimedOut ? Failure::Busy : FailureOf(end);
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    switch (end) {
    case WaitEnd::DeviceGone:
        error = "the KX-RD4 was unplugged";
        break;
    case WaitEnd::Interrupted:
        error = "interrupted";
        break;
    default:
        error = "the KX-RD4 at " + path +
                " is busy: " + (holder.empty() ? std::string("another program") : holder) +
                " holds it for an exchange of its own (waited " + std::to_string(waited) +
                " ms); nothing was written";
        break;
    }
    return false;
}

void ControllerSession::UnlockController() {
    if (lockDepth_ > 0 && --lockDepth_ == 0) {
        lock_.reset();
    }
}

bool ControllerSession::Watch(
    std::chrono::milliseconds period, double seconds,
    const std::function<bool(std::int64_t, std::int32_t, std::int32_t)>& sample,
    std::string& error) {
    if (!Ready(error)) {
        return false;
    }
    const auto start = Clock::now();
    const auto end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto nextPoll = start;
    auto lastReply = start;
    samples_.clear();
    pendingPolls_ = 0;
    for (;;) {
        const auto now = Clock::now();
        if (seconds > 0 && now >= end) {
            break;
        }
        if (now >= nextPoll) {
            ++pendingPolls_;
            messages_->SendRequest(MessageLetter::StatusPoll);
            nextPoll += period;
        }
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextPoll - Clock::now());
        const WaitEnd waitEnd = Wait([this] { return !samples_.empty(); },
                                     std::max(wait, std::chrono::milliseconds(1)));
        const auto at = Clock::now();
        bool more = true;
        for (const auto& [position, velocity] : samples_) {
            more = more &&
                   sample(std::chrono::duration_cast<std::chrono::milliseconds>(at - start).count(),
                          position, velocity);
            lastReply = at;
        }
        samples_.clear();
        if (!more) {
            break;
        }
        if (waitEnd == WaitEnd::DeviceGone) {
            failure_ = Failure::Disconnected;
            error = "the KX-RD4 was disconnected";
            return false;
        }
        if (waitEnd == WaitEnd::Interrupted) {
            break;
        }
        if (at - lastReply > timeout_) {
            failure_ = Failure::TimedOut;
            error = "no answer from the KX-RD4 within " + std::to_string(timeout_.count()) + " ms";
            return false;
        }
    }
    pendingPolls_ = 0;
    return true;
}

double ControllerSession::SteadySeconds() {
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

MotionRecorder::SendPoll ControllerSession::PollSender() {
    return [this] {
        ++pendingPolls_;
        messages_->SendRequest(MessageLetter::StatusPoll);
        return true;
    };
}

bool ControllerSession::Record(MotionRecorder& recorder,
                               const std::function<bool(std::string&)>& atStart,
                               std::string& error) {
    if (!Ready(error)) {
        return false;
    }
    samples_.clear();
    pendingPolls_ = 0;
    recorder_ = &recorder;
    recorder.Start();
    const bool started = !atStart || atStart(error);
    if (!started) {
        recorder.Stop();
    }
    while (recorder.Running()) {
        const WaitEnd end = Wait([&] { return !recorder.Running(); }, std::chrono::milliseconds(2));
        if (end == WaitEnd::DeviceGone) {
            recorder.Stop(MotionRecording::End::NoAnswer);
        } else if (end == WaitEnd::Interrupted) {
            recorder.Stop(MotionRecording::End::Stopped);
        }
        recorder.Tick();
    }
    recorder_ = nullptr;
    pendingPolls_ = 0;
    return started;
}
