#pragma once
// What the controller in use holds, as far as the tool knows it: per program
// the 200 bytes last sent to it (once it reported them stored) or read back
// from it. Compared with the editor's program this says whether running the
// program runs what the editor shows. Forgotten when the controller changes
// or goes; a program being sent is unknown until the controller reports it
// stored. Knows nothing of what other tools write to the controller.

#include <array>
#include <cstdint>
#include <optional>

#include "ProgramSet.h"

class HeldPrograms {
public:
    enum class State {
        Unknown, // nothing sent or read since the controller came
        Same,    // the editor's program equals what the controller holds
        Changed, // the editor's program was changed since it was sent or read
        Differs, // the controller holds another program, learnt without the
                 // editor (a restore, a backup, a read-back before a run)
    };
    using Bytes = std::array<std::uint8_t, ProgramBytes>;

    static Bytes BytesOf(const ProgramSet& set, int program);

    // A transfer of the program starts with these bytes: unknown until Stored.
    void SendStarted(int program, const Bytes& bytes);
    // The controller reported the program stored: it holds what was sent.
    void Stored(int program);
    // The program was read from the controller into the editor.
    void Read(int program, const Bytes& bytes);
    // The controller was found to hold these bytes, the editor left as it is.
    void Learned(int program, const Bytes& bytes);
    // The controller changed or went.
    void Forget();
    // Someone else wrote the program (or tried to): what it holds is not known.
    void Lost(int program);

    State Compare(int program, const ProgramSet& set) const;
    const std::optional<Bytes>& Held(int program) const;

private:
    std::array<std::optional<Bytes>, ProgramCount> held_{};
    std::array<std::optional<Bytes>, ProgramCount> sending_{};
    std::array<bool, ProgramCount> learned_{}; // held_ came not from the editor
};
