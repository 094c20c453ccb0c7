#pragma once
// Which awaited replies of the controller are overdue. The report path tells
// it what was started and what came back; the window's timer asks it, now and
// then, what has become overdue since. Two things are watched:
//  - a program transfer (send or read back): each line's reply, and after the
//    last line written the controller's ProgramStored, must come within the
//    time-out of the previous step; otherwise the transfer is abandoned, and
//    late replies to it no longer carry its chain on;
//  - StatusPoll: a poll written and not answered by any report within the
//    time-out means the controller, though plugged, does not answer; the next
//    report means it answers again.
// Plain logic: time is given in milliseconds of a steady clock.

#include <cstdint>
#include <optional>
#include <vector>

class ReplyTimeouts {
public:
    static constexpr std::int64_t DefaultTimeoutMs = 1000;
    // The line that a transfer awaiting ProgramStored reports as stalled at.
    static constexpr int StoredLine = 25;

    enum class Transfer : std::uint8_t { Send, Read };

    struct Event {
        enum class Kind : std::uint8_t {
            TransferStalled, // transfer, program, line: the reply awaited
            Silent,          // polls unanswered for the time-out
        };
        Kind kind = Kind::TransferStalled;
        Transfer transfer = Transfer::Send;
        int program = 0;
        int line = 0; // 0..24, or StoredLine
    };

    explicit ReplyTimeouts(std::int64_t timeoutMs = DefaultTimeoutMs);

    // Values below 1 ms are taken as 1 ms.
    void SetTimeout(std::int64_t timeoutMs);
    std::int64_t Timeout() const { return timeout_; }

    // A transfer's first request was written; it replaces any other.
    void TransferStarted(Transfer transfer, int program, std::int64_t nowMs);
    // A line reply. False when it belongs to an abandoned transfer (the same
    // kind and program, after its time-out), whose chain must not go on.
    bool LineReplied(Transfer transfer, int program, int line, std::int64_t nowMs);
    // ProgramStored arrived.
    void Stored(std::int64_t nowMs);
    bool TransferActive() const { return active_.has_value(); }

    // A StatusPoll was written to the controller.
    void PollWritten(std::int64_t nowMs);
    // Any report came from the controller. True when it was silent till now.
    bool ReportReceived(std::int64_t nowMs);

    // The device changed or went away: nothing is awaited any more.
    void Reset();

    // What became overdue (or answers again) since the last call.
    std::vector<Event> Check(std::int64_t nowMs);

private:
    struct Watched {
        Transfer transfer;
        int program;
        int awaitedLine; // 0..24, or StoredLine
        std::int64_t sinceMs;
    };

    std::int64_t timeout_;
    std::optional<Watched> active_;
    std::optional<Watched> abandoned_;
    std::optional<std::int64_t> pollSince_; // first poll not answered yet
    bool silent_ = false;
};
