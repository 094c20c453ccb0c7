// kxrd4-sim on a real kernel: started in the background as a script would
// (standard input at its end), its uhid device is found and selected by the
// tool's own device link like a real KX-RD4; a program goes there and back and
// runs; the device survives being opened and closed and a flood of requests,
// and goes away cleanly on SIGTERM. Without access to /dev/uhid it says so.

#include "ControllerMessages.h"
#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "DeviceReportProcessor.h"
#include "LinuxHidrawBackend.h"
#include "PumpedUiDispatcher.h"
#include "SinkRecorder.h"
#include "TJvHidDevice.h"
#include "TJvHidDeviceController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The simulator: KXRD4_SIM names it, else it is looked up on the PATH.
std::string SimulatorPath() {
    const char* path = std::getenv("KXRD4_SIM");
    return path != nullptr && *path != '\0' ? path : "kxrd4-sim";
}

struct Child {
    pid_t pid = -1;
    int errorPipe = -1; // its standard error, when captured
    int status = -1;    // the exit status once it has ended and been reaped
};

// Starts the simulator with standard input from /dev/null; as the user
// nobody when asked.
Child Spawn(bool asNobody, bool captureErrors) {
    int pipeFds[2] = {-1, -1};
    if (captureErrors && ::pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    const std::string path = SimulatorPath();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        if (captureErrors)
            ::dup2(pipeFds[1], STDERR_FILENO);
        if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(126);
        ::execlp(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (captureErrors)
        ::close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

// The exit status, or -1 when the child did not end in time.
int WaitForExit(Child& child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (child.status < 0) {
        int status = 0;
        if (::waitpid(child.pid, &status, WNOHANG) == child.pid) {
            child.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(10ms);
    }
    return child.status;
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof(buffer))) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

ProgramLine MakeLine(CommandCode code, std::int32_t value = 0) {
    ProgramLine line{static_cast<std::uint8_t>(code)};
    if (OperandLayoutOf(static_cast<int>(code)) != OperandLayout::NoOperand)
        StoreNumber(line, OperandLayoutOf(static_cast<int>(code)), value);
    return line;
}

class LinkStateSink : public DeviceLinkSink {
public:
    void ClearDeviceList() override { entries.clear(); }
    void AddDeviceEntry(const std::string& text, TJvHidDevice*) override {
        entries.push_back(text);
    }
    void ShowStatus(const std::string&) override {}
    void ShowConnection(const std::string& text, const std::string&) override { connection = text; }
    std::vector<std::string> entries;
    std::string connection;
};

class KernelSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        backend_ = std::make_shared<LinuxHidrawBackend>();
        ASSERT_TRUE(backend_->Available());
        controller_ = std::make_unique<TJvHidDeviceController>(backend_, dispatcher_);
        link_ = std::make_unique<DeviceLink>(
            *controller_, linkSink_,
            [this](TJvHidDevice&, std::uint8_t, const std::uint8_t* data, std::uint16_t size) {
                processor_->Process(data, size);
            });
        output_ = std::make_unique<CurrentDeviceOutput>(*link_);
        messages_ = std::make_unique<ControllerMessages>(*output_, programs_);
        processor_ = std::make_unique<DeviceReportProcessor>(programs_, *messages_, replies_);
        dispatcher_->Pump(); // the controller's initial notification
    }

    void TearDown() override {
        if (simulator_.pid > 0 && WaitForExit(simulator_, 0ms) < 0) {
            ::kill(simulator_.pid, SIGKILL);
            WaitForExit(simulator_, 5s);
        }
        link_->Shutdown();
        processor_.reset();
        messages_.reset();
        output_.reset();
        link_.reset();
        controller_.reset();
    }

    // The window's loop: hand-overs, posted calls and device-node changes.
    bool Serve(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            dispatcher_->Pump();
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            pollfd p{backend_->NotificationFd(), POLLIN, 0};
            if (::poll(&p, 1, 2) > 0)
                controller_->CheckNotifications();
        }
    }

    bool Replied(const std::string& part) const {
        return std::any_of(replies_.events.begin(), replies_.events.end(),
                           [&](const std::string& e) { return e.find(part) != std::string::npos; });
    }

    std::array<std::uint8_t, ProgramBytes> Program(int program) const {
        std::array<std::uint8_t, ProgramBytes> bytes{};
        std::copy_n(programs_.Data() + program * ProgramBytes, ProgramBytes, bytes.begin());
        return bytes;
    }

    // The last chart sample's position after polling for a while.
    std::vector<std::int32_t> PollPositions(int polls) {
        std::vector<std::int32_t> positions;
        for (int i = 0; i < polls; ++i) {
            const std::size_t before = replies_.events.size();
            messages_->SendRequest(MessageLetter::StatusPoll);
            Serve([&] { return replies_.events.size() > before; }, 1s);
            for (std::size_t e = before; e < replies_.events.size(); ++e) {
                const std::string& event = replies_.events[e];
                if (event.rfind("chart:", 0) == 0)
                    positions.push_back(std::stoi(event.substr(6)));
            }
            std::this_thread::sleep_for(25ms);
        }
        return positions;
    }

    std::shared_ptr<LinuxHidrawBackend> backend_;
    std::shared_ptr<PumpedUiDispatcher> dispatcher_ = std::make_shared<PumpedUiDispatcher>();
    std::unique_ptr<TJvHidDeviceController> controller_;
    LinkStateSink linkSink_;
    ProgramSet programs_;
    SinkRecorder replies_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<CurrentDeviceOutput> output_;
    std::unique_ptr<ControllerMessages> messages_;
    std::unique_ptr<DeviceReportProcessor> processor_;
    Child simulator_;
};

TEST_F(KernelSimulator, ToolSelectsTheSimulatorSendsReadsAndRunsAProgram) {
    simulator_ = Spawn(false, false);
    ASSERT_GT(simulator_.pid, 0);
    ASSERT_TRUE(Serve([&] { return link_->CurrentDevice() != nullptr; }, 10s))
        << "the tool did not select the simulator (" << SimulatorPath() << ")";
    TJvHidDevice& device = *link_->CurrentDevice();
    EXPECT_EQ(linkSink_.entries, std::vector<std::string>{"KX-RD4"});
    EXPECT_EQ(linkSink_.connection, DeviceLink::Connected);
    EXPECT_EQ(device.VendorID(), 0x1A2B);
    EXPECT_EQ(device.ProductID(), 0x000C);
    EXPECT_EQ(device.Caps().InputReportByteLength, 65);
    EXPECT_EQ(device.Caps().OutputReportByteLength, 65);
    // The reader holds the node open before anything is sent.
    std::this_thread::sleep_for(100ms);

    // P2 out and back, with bytes its commands do not use, which travel too.
    const ProgramLine lines[] = {
        MakeLine(CommandCode::V_MAX, 8000), MakeLine(CommandCode::A_MAX, 20000),
        MakeLine(CommandCode::M_EN),        MakeLine(CommandCode::X_DST, 4000),
        MakeLine(CommandCode::W_TIM, 200),  MakeLine(CommandCode::X_DST, 0),
        MakeLine(CommandCode::END),
    };
    for (int i = 0; i < 7; ++i)
        programs_.SetLine(2, i, lines[i]);
    programs_.SetLine(2, 20, {0, 1, 2, 3, 4, 5, 6, 7});
    const auto sent = Program(2);
    ASSERT_TRUE(messages_->SendProgram(2, replies_));
    ASSERT_TRUE(Serve([&] { return Replied("zapisany"); })) << "no ProgramStored";
    programs_.ClearProgram(2);
    ASSERT_TRUE(messages_->ReadProgram(2, replies_));
    ASSERT_TRUE(Serve([&] { return Replied("odczytany"); })) << "the read-back did not end";
    EXPECT_EQ(Program(2), sent);

    // Standing before the start, moving after it.
    const auto standing = PollPositions(3);
    ASSERT_FALSE(standing.empty());
    EXPECT_EQ(standing.back(), 0);
    messages_->RunProgram(2);
    const auto moving = PollPositions(20);
    ASSERT_FALSE(moving.empty());
    EXPECT_GT(*std::max_element(moving.begin(), moving.end()), 0) << "the axis did not move";
    ASSERT_EQ(WaitForExit(simulator_, 0ms), -1) << "the simulator ended";
}

TEST_F(KernelSimulator, SurvivesOpeningClosingAndAFloodAndEndsCleanlyOnSigterm) {
    simulator_ = Spawn(false, false);
    ASSERT_GT(simulator_.pid, 0);
    ASSERT_TRUE(Serve([&] { return link_->CurrentDevice() != nullptr; }, 10s));
    const std::string node = link_->CurrentDevice()->PnPInfo().InterfacePath;

    // Another program opens and closes the node again and again, and floods
    // it with polls it never reads.
    for (int i = 0; i < 50; ++i) {
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0) << node;
        ::close(fd);
    }
    {
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        std::uint8_t poll[65] = {1, static_cast<std::uint8_t>(MessageLetter::StatusPoll)};
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(::write(fd, poll, sizeof(poll)), 65);
        ::close(fd);
    }
    ASSERT_EQ(WaitForExit(simulator_, 0ms), -1) << "the simulator ended";

    // The tool's own link still gets its answers. Its reader got the replies
    // to the flood too (every opener of a hidraw node gets every input
    // report): they are handled first, or the kernel would drop the answer
    // for want of room.
    Serve([] { return false; }, 1s);
    messages_->SendRequest(MessageLetter::VminRead);
    EXPECT_TRUE(Serve([&] { return Replied("field:VminLabel="); })) << "no answer after the flood";

    ::kill(simulator_.pid, SIGTERM);
    EXPECT_EQ(WaitForExit(simulator_, 5s), 0);
    EXPECT_TRUE(Serve([&] { return link_->CurrentDevice() == nullptr; }))
        << "the device is still there";
    EXPECT_EQ(linkSink_.connection, DeviceLink::Disconnected);
    EXPECT_TRUE(linkSink_.entries.empty());
}

TEST_F(KernelSimulator, WithoutAccessToUhidSaysWhatToDo) {
    simulator_ = Spawn(true, true);
    ASSERT_GT(simulator_.pid, 0);
    EXPECT_EQ(WaitForExit(simulator_, 5s), 1);
    const std::string errors = ReadAll(simulator_.errorPipe);
    ::close(simulator_.errorPipe);
    EXPECT_NE(errors.find("/dev/uhid"), std::string::npos) << errors;
    EXPECT_NE(errors.find("root"), std::string::npos) << errors;
    EXPECT_NE(errors.find("udev"), std::string::npos) << errors;
}

} // namespace
