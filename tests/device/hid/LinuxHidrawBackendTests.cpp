// The hidraw back end on the host: whatever is or is not plugged here, it
// lists, opens and queries without failing. The kernel test drives it over
// real devices.

#include <gtest/gtest.h>

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

} // namespace
