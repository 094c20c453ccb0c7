// The system's hold of a device (flock on Linux, a named mutex on Windows),
// tried on an ordinary file: one holder at a time, named to the others by
// program and process, free again once let go; and the simulated back end's
// holds, shared by its clients as the system's are by processes.

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "DeviceLock.h"
#include "SimulatedHidBackend.h"

#ifdef _WIN32
#include <process.h>
#define KX_GETPID _getpid
#else
#include <unistd.h>
#define KX_GETPID getpid
#endif

namespace {

TEST(DeviceLock, OneHolderAtATimeNamedToTheOthersAndFreeOnceLetGo) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("kxrd4-lock-test-" + std::to_string(static_cast<long>(KX_GETPID())));
    std::ofstream(file) << "node";
    const std::string path = file.string();

    // Taken and let go on a thread of its own, as a Windows mutex must be.
    std::unique_ptr<DeviceLock> first;
    std::string holder;
    bool release = false;
    std::mutex m;
    std::condition_variable changed;
    std::thread owner([&] {
        std::unique_lock lock(m);
        first = DeviceLock::TrySystem(path, holder);
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
        first.reset();
    });
    {
        std::unique_lock lock(m);
        changed.wait(lock, [&] { return first != nullptr; });
    }
    EXPECT_TRUE(holder.empty());
    std::string other;
    EXPECT_EQ(DeviceLock::TrySystem(path, other), nullptr);
    EXPECT_NE(other.find(" (process " + std::to_string(static_cast<long>(KX_GETPID())) + ")"),
              std::string::npos)
        << other;
    {
        std::lock_guard lock(m);
        release = true;
    }
    changed.notify_all();
    owner.join();
    auto again = DeviceLock::TrySystem(path, other);
    EXPECT_NE(again, nullptr);
    again.reset();
    std::filesystem::remove(file);
}

TEST(DeviceLock, SimulatedHoldsAreSharedByTheClientsOfOneBackEnd) {
    auto backend = std::make_shared<SimulatedHidBackend>();
    backend->SetHolderName("the window");
    auto cli = SimulatedHidBackend::NewClient(backend, "kxrd4-cli (process 9)");
    std::string holder;
    auto held = cli->TryLock("sim:hidraw1", holder);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(backend->TryLock("sim:hidraw1", holder), nullptr);
    EXPECT_EQ(holder, "kxrd4-cli (process 9)");
    EXPECT_NE(backend->TryLock("sim:hidraw2", holder), nullptr) << "each device has its own";
    held.reset();
    held = backend->TryLock("sim:hidraw1", holder);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(cli->TryLock("sim:hidraw1", holder), nullptr);
    EXPECT_EQ(holder, "the window");
}

} // namespace
