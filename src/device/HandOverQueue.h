#pragma once
// The blocking hand-over shared by every user-interface toolkit: a queue of
// calls that workers wait on. A subclass says how to wake the user-interface
// thread (WakeUiThread) so that it calls Drain, and how to post plain calls.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

#include "HidUiDispatcher.h"

class HandOverQueue : public HidUiDispatcher {
public:
    HandOverQueue() = default;
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;
    ~HandOverQueue() override;

    void PostAfterHandOver(std::function<void()> call) override;
    void InvokeAndWait(const std::function<void()>& call) override;
    void ServeUntil(const std::function<bool()>& finished) override;
    void Notify() override;
    bool InHandOver() const override { return depth_ > 0; }

    // The user-interface thread: run every queued hand-over; returns how many.
    int Drain();

protected:
    // Called (from a worker, lock not held) after a hand-over was queued.
    virtual void WakeUiThread() = 0;
    // An exception escaped a handed-over call (user-interface thread). The
    // default drops it; report handlers are expected to catch their own.
    virtual void ReportError(std::exception_ptr) {}
    // Whether hand-overs are waiting; lock must be held.
    bool HasPendingLocked() const { return !pending_.empty(); }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    unsigned notifications_ = 0; // raised by Notify and by queued hand-overs

private:
    struct Item {
        const std::function<void()>* call;
        bool done = false;
    };
    bool RunOne();

    std::deque<Item*> pending_;
    int depth_ = 0;                                    // user-interface thread only
    std::vector<std::function<void()>> afterHandOver_; // user-interface thread only
};
