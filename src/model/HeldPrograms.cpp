#include "HeldPrograms.h"

#include <algorithm>

namespace {

std::size_t At(int program) {
    return static_cast<std::size_t>(ProgramSet::IsValidProgram(program) ? program : 0);
}

} // namespace

HeldPrograms::Bytes HeldPrograms::BytesOf(const ProgramSet& set, int program) {
    Bytes bytes{};
    const std::uint8_t* first = set.LineBytes(program, 0);
    std::copy_n(first, ProgramBytes, bytes.begin());
    return bytes;
}

void HeldPrograms::SendStarted(int program, const Bytes& bytes) {
    if (!ProgramSet::IsValidProgram(program)) {
        return;
    }
    held_[At(program)].reset();
    sending_[At(program)] = bytes;
    learned_[At(program)] = false;
}

void HeldPrograms::Lost(int program) {
    if (!ProgramSet::IsValidProgram(program)) {
        return;
    }
    held_[At(program)].reset();
    sending_[At(program)].reset();
}

void HeldPrograms::Stored(int program) {
    if (!ProgramSet::IsValidProgram(program)) {
        return;
    }
    held_[At(program)] = sending_[At(program)];
    sending_[At(program)].reset();
    learned_[At(program)] = false;
}

void HeldPrograms::Read(int program, const Bytes& bytes) {
    if (!ProgramSet::IsValidProgram(program)) {
        return;
    }
    held_[At(program)] = bytes;
    sending_[At(program)].reset();
    learned_[At(program)] = false;
}

void HeldPrograms::Learned(int program, const Bytes& bytes) {
    if (!ProgramSet::IsValidProgram(program)) {
        return;
    }
    held_[At(program)] = bytes;
    sending_[At(program)].reset();
    learned_[At(program)] = true;
}

void HeldPrograms::Forget() {
    held_ = {};
    sending_ = {};
}

HeldPrograms::State HeldPrograms::Compare(int program, const ProgramSet& set) const {
    if (!ProgramSet::IsValidProgram(program) || !held_[At(program)]) {
        return State::Unknown;
    }
    if (*held_[At(program)] == BytesOf(set, program)) {
        return State::Same;
    }
    return learned_[At(program)] ? State::Differs : State::Changed;
}

const std::optional<HeldPrograms::Bytes>& HeldPrograms::Held(int program) const {
    return held_[At(program)];
}
