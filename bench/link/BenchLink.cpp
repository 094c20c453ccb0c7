// kxrd4-bench-link: the latency of the HID link as the tool uses it.
//
//   kxrd4-bench-link [--compare] N
//
// Sends N VminRead requests one after the other to the KX-RD4 that the link
// selects, each through the tool's own path (the hidraw back end, the HID
// controller, SendReport to the current device, the reader thread and the
// blocking hand-over to this thread, which plays the user-interface thread),
// and prints the median and the 99th percentile of the round trip in µs: from
// just before the request is written to the start of the data handler.
// With --compare it then releases the device and runs the same N round trips
// as a plain loop on the same hidraw node (write, poll, read on one thread)
// and prints the ratio of the medians. Exit status 1 when no KX-RD4 is found
// or a reply does not come within a second.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ControllerMessages.h"
#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "LinuxHidrawBackend.h"
#include "PumpedUiDispatcher.h"
#include "TJvHidDeviceController.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto ReplyTimeout = std::chrono::seconds(1);

class QuietSink : public DeviceLinkSink {
public:
    void ClearDeviceList() override {}
    void AddDeviceEntry(const std::string&, TJvHidDevice*) override {}
    void ShowStatus(const std::string&) override {}
    void ShowConnection(const std::string&, const std::string&) override {}
};

struct Figures {
    double median = 0;
    double p99 = 0;
};

Figures Summarise(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    auto at = [&](double q) {
        return us[std::min(us.size() - 1,
                           static_cast<std::size_t>(q * static_cast<double>(us.size())))];
    };
    return {at(0.5), at(0.99)};
}

double Micros(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// The tool's path. Returns false (with a message) on failure; path is the
// selected device's node.
bool RunLink(int count, std::vector<double>& us, std::string& path) {
    auto backend = std::make_shared<LinuxHidrawBackend>();
    auto dispatcher = std::make_shared<PumpedUiDispatcher>();
    TJvHidDeviceController controller(backend, dispatcher);
    QuietSink sink;
    Clock::time_point handled;
    std::uint8_t letter = 0;
    int replies = 0;
    DeviceLink link(controller, sink,
                    [&](TJvHidDevice&, std::uint8_t, const std::uint8_t* data, std::uint16_t size) {
                        handled = Clock::now();
                        letter = size > 0 ? data[0] : 0;
                        ++replies;
                    });
    if (!dispatcher->PumpUntil([&] { return link.CurrentDevice() != nullptr; },
                               std::chrono::seconds(5))) {
        std::fprintf(stderr, "kxrd4-bench-link: no KX-RD4 found\n");
        return false;
    }
    path = link.CurrentDevice()->PnPInfo().InterfacePath;
    CurrentDeviceOutput output(link);
    ProgramSet programs;
    ControllerMessages messages(output, programs);
    us.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int before = replies;
        const Clock::time_point sent = Clock::now();
        messages.SendRequest(MessageLetter::VminRead);
        if (!dispatcher->PumpUntil([&] { return replies != before; }, ReplyTimeout) ||
            letter != static_cast<std::uint8_t>(MessageLetter::VminRead)) {
            std::fprintf(stderr, "kxrd4-bench-link: no VminRead reply to request %d\n", i + 1);
            link.Shutdown();
            return false;
        }
        us.push_back(Micros(sent, handled));
    }
    link.Shutdown();
    return true;
}

// The floor: the same exchange on the bare hidraw node.
bool RunBare(int count, const std::string& path, std::vector<double>& us) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "kxrd4-bench-link: cannot open %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    std::uint8_t request[65] = {1, static_cast<std::uint8_t>(MessageLetter::VminRead)};
    std::uint8_t reply[65];
    us.reserve(static_cast<std::size_t>(count));
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        const Clock::time_point sent = Clock::now();
        ok = ::write(fd, request, sizeof request) == static_cast<ssize_t>(sizeof request);
        pollfd p{fd, POLLIN, 0};
        ok = ok && ::poll(&p, 1, 1000) == 1 && ::read(fd, reply, sizeof reply) > 1 &&
             reply[1] == request[1];
        if (ok) {
            us.push_back(Micros(sent, Clock::now()));
        } else {
            std::fprintf(stderr, "kxrd4-bench-link: plain loop: no reply to request %d\n", i + 1);
        }
    }
    ::close(fd);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    bool compare = false;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--compare") == 0) {
            compare = true;
        } else {
            count = std::atoi(argv[i]);
        }
    }
    if (count < 1) {
        std::fprintf(stderr, "usage: kxrd4-bench-link [--compare] N   (N round trips, N >= 1)\n");
        return 2;
    }
    std::vector<double> link;
    std::string path;
    if (!RunLink(count, link, path)) {
        return 1;
    }
    const Figures linkFigures = Summarise(link);
    std::printf("link: %d VminRead round trips on %s: median %.1f us, p99 %.1f us\n", count,
                path.c_str(), linkFigures.median, linkFigures.p99);
    if (compare) {
        std::vector<double> bare;
        if (!RunBare(count, path, bare)) {
            return 1;
        }
        const Figures bareFigures = Summarise(bare);
        std::printf("plain hidraw loop: %d round trips: median %.1f us, p99 %.1f us\n", count,
                    bareFigures.median, bareFigures.p99);
        std::printf("link/plain ratio (median): %.2f\n", linkFigures.median / bareFigures.median);
    }
    std::fflush(stdout);
    return 0;
}
