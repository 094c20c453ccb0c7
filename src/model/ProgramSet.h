#pragma once
// The ten programs P0..P9 of 25 lines, one contiguous 2000-byte block,
// program-major: line l of program p starts at byte p * 200 + l * 8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ProgramLine.h"

constexpr int ProgramCount = 10;
constexpr int LinesPerProgram = 25;
constexpr int ProgramBytes = LinesPerProgram * 8;            // 200
constexpr int ProgramSetBytes = ProgramCount * ProgramBytes; // 2000
// Index bytes use 255 for "none" (no current program, no pending line move).
constexpr std::uint8_t NoIndex = 255;

class ProgramSet {
public:
    ProgramSet(); // all zero

    std::uint8_t* Data() { return bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    static constexpr std::size_t Size() { return ProgramSetBytes; }
    static constexpr bool IsValidProgram(int program) {
        return program >= 0 && program < ProgramCount;
    }
    static constexpr bool IsValidLine(int program, int line) {
        return IsValidProgram(program) && line >= 0 && line < LinesPerProgram;
    }

    // The 8 bytes of line l (0..24) of program p (0..9). Every member taking
    // indices throws std::out_of_range for indices outside these ranges, so
    // numbers arriving from outside can never reach memory beyond the set.
    std::uint8_t* LineBytes(int program, int line);
    const std::uint8_t* LineBytes(int program, int line) const;
    ProgramLine Line(int program, int line) const;
    void SetLine(int program, int line, const ProgramLine& value);

    void ClearLine(int program, int line);
    void ClearProgram(int program);
    void ClearAllPrograms();
    // Copies the 200 bytes of source onto destination in ascending order.
    void CopyProgram(int source, int destination);
    void SwapLines(int program, int a, int b);

private:
    std::array<std::uint8_t, ProgramSetBytes> bytes_{};
};

// The listing of one program: the RenderLine texts of its lines 00..24, one
// string per line, in line order.
std::vector<std::string> ExportListing(const ProgramSet& set, int program);
