#include "HandOverQueue.h"

#include <cassert>

HandOverQueue::~HandOverQueue() {
    // Readers are stopped before the dispatcher goes; nobody may wait here.
    assert(pending_.empty());
}

void HandOverQueue::PostAfterHandOver(std::function<void()> call) {
    if (depth_ > 0) {
        afterHandOver_.push_back(std::move(call));
    } else {
        Post(std::move(call));
    }
}

void HandOverQueue::InvokeAndWait(const std::function<void()>& call) {
    Item item{&call};
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(&item);
        ++notifications_;
    }
    changed_.notify_all();
    WakeUiThread();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return item.done; });
}

bool HandOverQueue::RunOne() {
    Item* item = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (pending_.empty()) {
            return false;
        }
        item = pending_.front();
        pending_.pop_front();
    }
    ++depth_;
    try {
        (*item->call)();
    } catch (...) {
        // The worker is released whatever the call did; the error goes to
        // the toolkit's display, never into a reader or a destructor.
        ReportError(std::current_exception());
    }
    --depth_;
    {
        std::lock_guard lock(mutex_);
        item->done = true;
    }
    changed_.notify_all();
    if (depth_ == 0 && !afterHandOver_.empty()) {
        auto calls = std::move(afterHandOver_);
        afterHandOver_.clear();
        for (auto& c : calls) {
            Post(std::move(c));
        }
    }
    return true;
}

int HandOverQueue::Drain() {
    int served = 0;
    while (RunOne()) {
        ++served;
    }
    return served;
}

void HandOverQueue::ServeUntil(const std::function<bool()>& finished) {
    for (;;) {
        Drain();
        if (finished()) {
            return;
        }
        std::unique_lock lock(mutex_);
        const unsigned seen = notifications_;
        lock.unlock();
        // Look again after taking the count, so a Notify in between is seen.
        if (finished()) {
            return;
        }
        lock.lock();
        changed_.wait(lock, [&] { return notifications_ != seen || !pending_.empty(); });
    }
}

void HandOverQueue::Notify() {
    {
        std::lock_guard lock(mutex_);
        ++notifications_;
    }
    changed_.notify_all();
}
