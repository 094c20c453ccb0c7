#pragma once
// A scripted KX-RD4 peer on a simulated HID device: keeps ten programs of its
// own, stores every LineWrite, answers LineRead from its memory, echoes the
// program and line, and sends ProgramStored after line 24 has been written.
// Every other request is answered by its letter alone. Runs on the writing
// thread (the user-interface thread).

#include <algorithm>
#include <cstdint>
#include <vector>

#include "MessageLetter.h"
#include "ProgramSet.h"
#include "SimulatedHidBackend.h"

class ScriptedController {
public:
    static constexpr std::size_t InputLength = 65;

    ScriptedController(SimulatedHidBackend& backend, SimulatedHidBackend::DeviceId id)
        : backend_(backend), id_(id) {
        backend_.SetPeer(id_, [this](SimulatedHidBackend::DeviceId,
                                     const std::vector<std::uint8_t>& report) { Answer(report); });
    }
    ~ScriptedController() { backend_.SetPeer(id_, nullptr); }
    ScriptedController(const ScriptedController&) = delete;
    ScriptedController& operator=(const ScriptedController&) = delete;

    ProgramSet memory; // the controller's internal program memory
    int lineWrites = 0;
    int lineReads = 0;

private:
    void Answer(const std::vector<std::uint8_t>& report) {
        if (report.size() < 2) {
            return;
        }
        std::vector<std::uint8_t> reply(InputLength, 0);
        reply[0] = 1;
        reply[1] = report[1];
        const bool lineMessage = report[1] == LetterByte(MessageLetter::LineWrite) ||
                                 report[1] == LetterByte(MessageLetter::LineRead);
        if (lineMessage) {
            if (report.size() < 12 || report[2] >= ProgramCount || report[3] >= LinesPerProgram) {
                return;
            }
            reply[2] = report[2];
            reply[3] = report[3];
            std::uint8_t* line = memory.LineBytes(report[2], report[3]);
            if (report[1] == LetterByte(MessageLetter::LineWrite)) {
                ++lineWrites;
                std::copy_n(report.begin() + 4, 8, line);
            } else {
                ++lineReads;
                std::copy_n(line, 8, reply.begin() + 4);
            }
        }
        const bool stored =
            report[1] == LetterByte(MessageLetter::LineWrite) && report[3] == LinesPerProgram - 1;
        backend_.InjectReport(id_, std::move(reply));
        if (stored) {
            std::vector<std::uint8_t> notice(InputLength, 0);
            notice[0] = 1;
            notice[1] = LetterByte(MessageLetter::ProgramStored);
            backend_.InjectReport(id_, std::move(notice));
        }
    }

    SimulatedHidBackend& backend_;
    SimulatedHidBackend::DeviceId id_;
};
