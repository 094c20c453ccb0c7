#pragma once
// A dispatcher for programs and tests without a toolkit: the thread that calls
// Pump or PumpUntil is the user-interface thread.

#include <chrono>
#include <deque>
#include <functional>

#include "HandOverQueue.h"

class PumpedUiDispatcher : public HandOverQueue {
public:
    void Post(std::function<void()> call) override;

    // Runs the posted calls and hand-overs waiting now; returns how many ran.
    int Pump();
    // Runs posted calls and hand-overs as they come until done() is true or
    // the time is up (done is looked at every few milliseconds too); returns
    // done().
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

protected:
    void WakeUiThread() override;

private:
    std::deque<std::function<void()>> posted_; // guarded by mutex_
};
