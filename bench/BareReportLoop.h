#pragma once
// The transport's floor for the protocol benchmarks: two threads that only
// move reports of a fixed length back and forth through mutex/condition
// variable mailboxes, with no HID link and no protocol around them.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class BareReportLoop {
public:
    static constexpr std::size_t ReportLength = 65;
    using Report = std::array<std::uint8_t, ReportLength>;

    // The peer thread answers every request with replies copies (the first
    // of them echoing the request), e.g. 2 for a last line followed by an
    // unsolicited notice.
    BareReportLoop();
    ~BareReportLoop();
    BareReportLoop(const BareReportLoop&) = delete;
    BareReportLoop& operator=(const BareReportLoop&) = delete;

    // Sends one request and waits for `replies` reports back.
    void RoundTrip(const Report& request, Report& reply, int replies);

private:
    struct Mailbox {
        std::mutex mutex;
        std::condition_variable ready;
        Report bytes{};
        int count = 0; // reports waiting
        bool stop = false;
    };
    void Peer();

    Mailbox toPeer_;
    Mailbox toHost_;
    int repliesWanted_ = 1; // guarded by toPeer_.mutex
    std::thread peer_;
};
