#include "LinkRoundTrips.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/eventfd.h>
#include <thread>

#include "ControllerMessages.h"
#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "LinuxHidrawBackend.h"
#include "PumpedUiDispatcher.h"
#include "TJvHidDeviceController.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto ReplyTimeout = std::chrono::seconds(1);
constexpr auto SelectionTimeout = std::chrono::seconds(10);

class QuietSink : public DeviceLinkSink {
public:
    void ClearDeviceList() override {}
    void AddDeviceEntry(const std::string&, TJvHidDevice*) override {}
    void ShowStatus(const std::string&) override {}
    void ShowConnection(const std::string&, const std::string&) override {}
};

double Micros(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

} // namespace

LinkRoundTrips::Figures LinkRoundTrips::Summarise(std::vector<double> us) {
    if (us.empty()) {
        return {};
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) {
        return us[std::min(us.size() - 1,
                           static_cast<std::size_t>(q * static_cast<double>(us.size())))];
    };
    return {at(0.5), at(0.99)};
}

bool LinkRoundTrips::Link(int count, std::vector<double>& us, std::string& path,
                          std::string& error) {
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
    // The first scan runs when the dispatcher is pumped; a device plugged in
    // later is seen through the back end's notifications.
    const auto selectionDeadline = Clock::now() + SelectionTimeout;
    while (link.CurrentDevice() == nullptr && Clock::now() < selectionDeadline) {
        dispatcher->PumpUntil([&] { return link.CurrentDevice() != nullptr; },
                              std::chrono::milliseconds(50));
        if (link.CurrentDevice() == nullptr && backend->NotificationFd() >= 0) {
            pollfd p{backend->NotificationFd(), POLLIN, 0};
            if (::poll(&p, 1, 0) == 1) {
                controller.CheckNotifications();
            }
        }
    }
    if (link.CurrentDevice() == nullptr) {
        error = "no KX-RD4 found";
        return false;
    }
    path = link.CurrentDevice()->PnPInfo().InterfacePath;
    CurrentDeviceOutput output(link);
    ProgramSet programs;
    ControllerMessages messages(output, programs);
    us.reserve(us.size() + static_cast<std::size_t>(count));
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        const int before = replies;
        const Clock::time_point sent = Clock::now();
        messages.SendRequest(MessageLetter::VminRead);
        ok = dispatcher->PumpUntil([&] { return replies != before; }, ReplyTimeout) &&
             letter == static_cast<std::uint8_t>(MessageLetter::VminRead);
        if (ok) {
            us.push_back(Micros(sent, handled));
        } else {
            error = "no VminRead reply to request " + std::to_string(i + 1);
        }
    }
    link.Shutdown();
    return ok;
}

bool LinkRoundTrips::Plain(int count, const std::string& path, std::vector<double>& us,
                           std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::uint8_t request[65] = {1, static_cast<std::uint8_t>(MessageLetter::VminRead)};
    std::uint8_t reply[65];
    us.reserve(us.size() + static_cast<std::size_t>(count));
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
            error = "plain loop: no reply to request " + std::to_string(i + 1);
        }
    }
    ::close(fd);
    return ok;
}

bool LinkRoundTrips::Compare(int count, int rounds, std::vector<double>& link,
                             std::vector<double>& plain, std::string& path, std::string& error) {
    rounds = std::max(1, std::min(rounds, count));
    for (int round = 0; round < rounds; ++round) {
        const int block = count / rounds + (round < count % rounds ? 1 : 0);
        if (!Link(block, link, path, error) || !Plain(block, path, plain, error)) {
            return false;
        }
    }
    return true;
}

bool LinkRoundTrips::PlainHandedOver(int count, const std::string& path, std::vector<double>& us,
                                     std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    const int stopFd = ::eventfd(0, EFD_CLOEXEC);
    std::mutex mutex;
    std::condition_variable changed;
    bool ready = false; // a reply waits to be taken
    std::uint8_t letter = 0;
    std::thread reader([&] {
        std::uint8_t reply[65];
        for (;;) {
            pollfd p[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
            if (::poll(p, 2, -1) < 1 || (p[1].revents & POLLIN) != 0) {
                return;
            }
            if (::read(fd, reply, sizeof reply) < 2) {
                continue;
            }
            std::unique_lock lock(mutex);
            letter = reply[1];
            ready = true;
            changed.notify_all();
            changed.wait(lock, [&] { return !ready; });
        }
    });
    std::uint8_t request[65] = {1, static_cast<std::uint8_t>(MessageLetter::VminRead)};
    us.reserve(us.size() + static_cast<std::size_t>(count));
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        const Clock::time_point sent = Clock::now();
        ok = ::write(fd, request, sizeof request) == static_cast<ssize_t>(sizeof request);
        std::unique_lock lock(mutex);
        ok = ok && changed.wait_for(lock, ReplyTimeout, [&] { return ready; }) &&
             letter == request[1];
        if (ok) {
            us.push_back(Micros(sent, Clock::now()));
            ready = false;
            changed.notify_all();
        } else {
            error = "handed-over loop: no reply to request " + std::to_string(i + 1);
        }
    }
    const std::uint64_t one = 1;
    (void)::write(stopFd, &one, sizeof one);
    {
        std::lock_guard lock(mutex);
        ready = false;
    }
    changed.notify_all();
    reader.join();
    ::close(stopFd);
    ::close(fd);
    return ok;
}
