// Any bytes as requests written to the emulated controller. Input: a sequence
// of [milliseconds to wait][length][bytes]; each request is copied into a
// buffer of exactly its length.
#include <cstring>
#include <memory>

#include "ControllerEmulator.h"
#include "FuzzTargets.h"
#include "MessageLetter.h"

int FuzzEmulator(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t ReplyLength = 65;
    ControllerEmulator emulator(ReplyLength);
    std::int64_t now = 0;
    std::size_t at = 0;
    while (at + 1 < size) {
        // Waits up to about 4 s, so programs and moves run for a while.
        now += static_cast<std::int64_t>(data[at]) * 16;
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        at += 2;
        const std::unique_ptr<std::uint8_t[]> request(new std::uint8_t[length]);
        std::memcpy(request.get(), data + at, length);
        at += length;

        const auto replies =
            emulator.HandleRequest(length == 0 ? nullptr : request.get(), length, now);
        FUZZ_CHECK(emulator.Now() == now);
        for (const auto& reply : replies) {
            FUZZ_CHECK(reply.size() == ReplyLength);
            FUZZ_CHECK(reply[0] == 1);
            FUZZ_CHECK(reply[1] >= FirstMessageLetter && reply[1] <= LastMessageLetter);
        }
        // Only a request of a known letter is answered: by its own letter
        // first (a stored program may add ProgramStored).
        if (!replies.empty()) {
            FUZZ_CHECK(length >= 2 && replies[0][1] == request[1]);
        }
        FUZZ_CHECK(replies.size() <= 2);
        const int running = emulator.RunningProgram();
        FUZZ_CHECK(!emulator.ProgramRunning() || (running >= 0 && running < ProgramCount));
    }
    return 0;
}
