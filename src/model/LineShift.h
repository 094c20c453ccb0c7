#pragma once
// Inserting and deleting lines of one program: the lines below move down or
// up, and the jump targets of J_LIN, J_CNT and J_INP in the same program are
// renumbered so that they keep pointing at the same lines.
//
// A jump into deleted lines points afterwards at the line that takes their
// place. Targets outside 0..24 are left as they are (the controller faults on
// them either way), and so are jumps in other programs: a PROG jump always
// enters a program at line 0.

#include <vector>

#include "ProgramSet.h"

class LineShift {
public:
    // The jump target of a J_LIN, J_CNT or J_INP line, -1 for any other line.
    static int JumpTarget(const ProgramLine& line);

    // Whether count empty lines can be inserted at line `at`: the last count
    // lines of the program are empty, so nothing is pushed past line 24.
    static bool CanInsert(const ProgramSet& set, int program, int at, int count = 1);
    // Inserts count empty lines at `at` (0..24); returns false and changes
    // nothing when CanInsert says no or count is not 1..25 - at.
    static bool Insert(ProgramSet& set, int program, int at, int count = 1);

    // The lines outside first..last that jump into first..last, ascending.
    static std::vector<int> JumpsInto(const ProgramSet& set, int program, int first, int last);
    // Deletes lines first..last (0 <= first <= last <= 24): the lines below
    // move up and the freed lines at the end are empty.
    static void Delete(ProgramSet& set, int program, int first, int last);

private:
    // Adds delta to every jump target in the program at or beyond `from`,
    // keeping targets within 0..24.
    static void Renumber(ProgramSet& set, int program, int from, int delta, int floor);
};
