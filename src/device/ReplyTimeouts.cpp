#include "ReplyTimeouts.h"

#include <algorithm>

#include "ProgramSet.h"

ReplyTimeouts::ReplyTimeouts(std::int64_t timeoutMs)
    : timeout_(std::max<std::int64_t>(1, timeoutMs)) {}

void ReplyTimeouts::SetTimeout(std::int64_t timeoutMs) {
    timeout_ = std::max<std::int64_t>(1, timeoutMs);
}

void ReplyTimeouts::TransferStarted(Transfer transfer, int program, std::int64_t nowMs) {
    active_ = Watched{transfer, program, 0, nowMs};
    abandoned_.reset();
}

bool ReplyTimeouts::LineReplied(Transfer transfer, int program, int line, std::int64_t nowMs) {
    if (abandoned_ && abandoned_->transfer == transfer && abandoned_->program == program) {
        return false;
    }
    if (active_ && active_->transfer == transfer && active_->program == program &&
        line >= active_->awaitedLine && active_->awaitedLine != StoredLine) {
        if (line < LinesPerProgram - 1) {
            active_->awaitedLine = line + 1;
            active_->sinceMs = nowMs;
        } else if (transfer == Transfer::Send) {
            active_->awaitedLine = StoredLine;
            active_->sinceMs = nowMs;
        } else {
            active_.reset();
        }
    }
    return true;
}

void ReplyTimeouts::Stored(std::int64_t /*nowMs*/) {
    if (active_ && active_->transfer == Transfer::Send) {
        active_.reset();
    }
}

void ReplyTimeouts::PollWritten(std::int64_t nowMs) {
    if (!pollSince_) {
        pollSince_ = nowMs;
    }
}

bool ReplyTimeouts::ReportReceived(std::int64_t /*nowMs*/) {
    pollSince_.reset();
    const bool wasSilent = silent_;
    silent_ = false;
    return wasSilent;
}

void ReplyTimeouts::Reset() {
    active_.reset();
    abandoned_.reset();
    pollSince_.reset();
    silent_ = false;
}

std::vector<ReplyTimeouts::Event> ReplyTimeouts::Check(std::int64_t nowMs) {
    std::vector<Event> events;
    if (active_ && nowMs - active_->sinceMs >= timeout_) {
        events.push_back({Event::Kind::TransferStalled, active_->transfer, active_->program,
                          active_->awaitedLine});
        abandoned_ = active_;
        active_.reset();
    }
    if (pollSince_ && !silent_ && nowMs - *pollSince_ >= timeout_) {
        silent_ = true;
        events.push_back({Event::Kind::Silent, Transfer::Send, 0, 0});
    }
    return events;
}
