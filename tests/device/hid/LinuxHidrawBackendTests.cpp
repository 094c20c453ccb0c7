// The hidraw back end on the host: whatever is or is not plugged here, it
// lists, opens and queries without failing. The kernel test drives it over
// real devices.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "LinuxHidrawBackend.h"

namespace {

TEST(HidLinuxBackend, ListsAndQueriesWhateverIsPresent) {
    LinuxHidrawBackend backend;
    if (!backend.Available()) {
        GTEST_SKIP() << "no udev";
    }
    for (const auto& info : backend.ListInterfaces()) {
        EXPECT_EQ(info.InterfacePath.rfind("/dev/", 0), 0u) << info.InterfacePath;
        const HidHandle h = backend.Open(info.InterfacePath, HidOpenMode::QueryOnly);
        if (h == InvalidHidHandle) {
            continue;
        }
        HidAttributes attributes;
        HidCaps caps;
        std::u16string product;
        backend.GetAttributes(h, attributes);
        backend.GetCaps(h, caps);
        backend.GetProductString(h, product);
        backend.Close(h);
    }
    backend.TakeNotifications();
}

TEST(HidLinuxBackend, RefusesWhatIsNotAHidDevice) {
    LinuxHidrawBackend backend;
    EXPECT_EQ(backend.Open("/nonexistent/hidraw9", HidOpenMode::QueryOnly), InvalidHidHandle);
    EXPECT_EQ(backend.Open("/tmp", HidOpenMode::QueryOnly), InvalidHidHandle);
    // A character device that is not hidraw opens but answers no query.
    const HidHandle h = backend.Open("/dev/null", HidOpenMode::QueryOnly);
    ASSERT_NE(h, InvalidHidHandle);
    HidAttributes attributes;
    HidCaps caps;
    std::u16string product;
    EXPECT_FALSE(backend.GetAttributes(h, attributes));
    EXPECT_FALSE(backend.GetCaps(h, caps));
    EXPECT_FALSE(backend.GetProductString(h, product));
    backend.Close(h);

    const HidHandle r = backend.Open("/dev/null", HidOpenMode::Read);
    ASSERT_NE(r, InvalidHidHandle);
    auto waker = backend.CreateWaker();
    waker->Raise();
    std::uint8_t buffer[8];
    std::size_t count = 0;
    // /dev/null reads as end of file at once; a raised waker wins or the
    // read reports 0 bytes: either way it returns.
    const auto status = backend.Read(r, buffer, sizeof buffer, *waker, count);
    EXPECT_TRUE(status == HidReadStatus::Woken || count == 0);
    EXPECT_FALSE(waker->Sleep(0));
    backend.Close(r);
}

TEST(HidLinuxBackend, ReaderWhoseWakerGotNoEventFdStillReturnsToLookAtItsStop) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer runtime checks memory through a pipe; with every descriptor
    // taken it reports false errors. The plain build runs this test.
    GTEST_SKIP() << "needs free descriptors under the address sanitizer";
#endif
    LinuxHidrawBackend backend;
    // A pty master without a slave: a character device that never becomes
    // readable, like an idle hidraw node.
    const HidHandle r = backend.Open("/dev/ptmx", HidOpenMode::Read);
    if (r == InvalidHidHandle) {
        GTEST_SKIP() << "no /dev/ptmx";
    }
    // The waker is made while every descriptor is taken.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> taken;
    for (int fd = ::open("/dev/null", O_RDONLY); fd >= 0; fd = ::open("/dev/null", O_RDONLY)) {
        taken.push_back(fd);
    }
    auto waker = backend.CreateWaker();
    for (const int fd : taken) {
        ::close(fd);
    }
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

    std::atomic<bool> returned{false};
    HidReadStatus status = HidReadStatus::Report;
    std::thread reader([&] {
        std::uint8_t buffer[8];
        std::size_t count = 0;
        status = backend.Read(r, buffer, sizeof buffer, *waker, count);
        returned = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!returned && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!returned) {
        reader.detach(); // blocked for good: a stop could never reach it
        FAIL() << "the read never returned to look at its stop request";
    }
    reader.join();
    EXPECT_EQ(status, HidReadStatus::Woken);
    waker->Raise(); // harmless without an eventfd
    backend.Close(r);
}

TEST(HidLinuxBackend, AWriteThatTheDeviceDoesNotTakeIsGivenUpAfterItsTimeOut) {
    LinuxHidrawBackend backend;
    // A pty whose other side never reads: once its buffer is full, it takes
    // nothing more, like a controller that stopped taking reports.
    const HidHandle h = backend.Open("/dev/ptmx", HidOpenMode::ReadWrite);
    if (h == InvalidHidHandle) {
        GTEST_SKIP() << "no /dev/ptmx";
    }
    const int master = static_cast<int>(h);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int other = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    termios raw{};
    ASSERT_EQ(::tcgetattr(other, &raw), 0);
    ::cfmakeraw(&raw);
    ASSERT_EQ(::tcsetattr(other, TCSANOW, &raw), 0);
    using Clock = std::chrono::steady_clock;
    const auto timeout = std::chrono::milliseconds(HidWriteTimeoutMs);
    const std::vector<std::uint8_t> report(256, 'x');
    bool failed = false;
    for (int i = 0; i < 4000 && !failed; ++i) {
        std::size_t written = 0;
        const auto start = Clock::now();
        failed = !backend.Write(h, report.data(), report.size(), written);
        const auto took = Clock::now() - start;
        EXPECT_LT(took, timeout + std::chrono::milliseconds(500)) << "write " << i;
        if (failed) {
            EXPECT_GE(took, timeout - std::chrono::milliseconds(20));
            EXPECT_EQ(written, 0u);
        }
    }
    EXPECT_TRUE(failed) << "the buffer never filled";
    backend.Close(h);
    ::close(other);
}

} // namespace
