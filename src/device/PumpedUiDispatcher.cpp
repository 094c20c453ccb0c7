#include "PumpedUiDispatcher.h"

#include <algorithm>

void PumpedUiDispatcher::Post(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(call));
        ++notifications_;
    }
    changed_.notify_all();
}

void PumpedUiDispatcher::WakeUiThread() {
    // InvokeAndWait has notified the condition already.
}

int PumpedUiDispatcher::Pump() {
    int ran = Drain();
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty()) {
                break;
            }
            call = std::move(posted_.front());
            posted_.pop_front();
        }
        call();
        ++ran;
        ran += Drain();
    }
    return ran;
}

bool PumpedUiDispatcher::PumpUntil(const std::function<bool()>& done,
                                   std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Pump();
        if (done()) {
            return true;
        }
        std::unique_lock lock(mutex_);
        const unsigned seen = notifications_;
        lock.unlock();
        if (Pump() > 0 || done()) {
            continue;
        }
        lock.lock();
        // Conditions may also change without a call (another thread's state):
        // look again every few milliseconds.
        const auto slice =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(2));
        changed_.wait_until(lock, slice, [&] {
            return notifications_ != seen || HasPendingLocked() || !posted_.empty();
        });
        lock.unlock();
        if (std::chrono::steady_clock::now() >= deadline) {
            Pump();
            return done();
        }
    }
}
