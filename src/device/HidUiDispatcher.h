#pragma once
// How the HID link reaches the user-interface thread. Readers hand each report
// over and block until it has been handled; the user-interface thread, while
// waiting for a reader to end, keeps serving those hand-overs.

#include <functional>

class HidUiDispatcher {
public:
    virtual ~HidUiDispatcher() = default;

    // Any thread: queue a call for the user-interface thread and return.
    virtual void Post(std::function<void()> call) = 0;
    // Like Post, but when a handed-over call is running, the call is queued
    // only after the outermost hand-over has returned.
    virtual void PostAfterHandOver(std::function<void()> call) = 0;

    // A worker thread: run call on the user-interface thread and block until
    // it has returned there.
    virtual void InvokeAndWait(const std::function<void()>& call) = 0;

    // The user-interface thread: serve handed-over calls (nothing else) until
    // finished() is true. finished is evaluated again after every served call
    // and after every Notify.
    virtual void ServeUntil(const std::function<bool()>& finished) = 0;
    // Any thread: makes a running ServeUntil look at its condition again.
    virtual void Notify() = 0;

    // The user-interface thread: whether a handed-over call is running.
    virtual bool InHandOver() const = 0;
};
