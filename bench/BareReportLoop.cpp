#include "BareReportLoop.h"

BareReportLoop::BareReportLoop() : peer_([this] { Peer(); }) {}

BareReportLoop::~BareReportLoop() {
    {
        std::lock_guard lock(toPeer_.mutex);
        toPeer_.stop = true;
    }
    toPeer_.ready.notify_one();
    peer_.join();
}

void BareReportLoop::RoundTrip(const Report& request, Report& reply, int replies) {
    {
        std::lock_guard lock(toPeer_.mutex);
        toPeer_.bytes = request;
        toPeer_.count = 1;
        repliesWanted_ = replies;
    }
    toPeer_.ready.notify_one();
    for (int i = 0; i < replies; ++i) {
        std::unique_lock lock(toHost_.mutex);
        toHost_.ready.wait(lock, [this] { return toHost_.count > 0; });
        reply = toHost_.bytes;
        --toHost_.count;
        lock.unlock();
        toHost_.ready.notify_one();
    }
}

void BareReportLoop::Peer() {
    for (;;) {
        Report bytes;
        int replies = 0;
        {
            std::unique_lock lock(toPeer_.mutex);
            toPeer_.ready.wait(lock, [this] { return toPeer_.count > 0 || toPeer_.stop; });
            if (toPeer_.stop) {
                return;
            }
            bytes = toPeer_.bytes;
            toPeer_.count = 0;
            replies = repliesWanted_;
        }
        for (int i = 0; i < replies; ++i) {
            std::unique_lock lock(toHost_.mutex);
            toHost_.ready.wait(lock, [this] { return toHost_.count == 0; });
            toHost_.bytes = bytes;
            toHost_.count = 1;
            lock.unlock();
            toHost_.ready.notify_one();
        }
    }
}
