#pragma once
// Wakes one reader: ends its waiting read or pause at once. Raises are counted
// until a wait consumes them, so a raise before the wait is not lost.

class HidWaker {
public:
    virtual ~HidWaker() = default;
    // Any thread.
    virtual void Raise() = 0;
    // The reader's thread: waits up to milliseconds (negative: no limit) for a
    // raise; true (and the raise consumed) if there was one.
    virtual bool Sleep(int milliseconds) = 0;
};
