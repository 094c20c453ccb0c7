#pragma once
// The selected lines of the editor's listing: one line or a range between an
// anchor and the current line (Shift+click, Shift+arrows), always within
// 0..24. The current line is the one the keyboard moves and edits.

#include "ProgramSet.h"

class LineSelection {
public:
    int Current() const { return current_; }
    int Anchor() const { return anchor_; }
    int First() const { return anchor_ < current_ ? anchor_ : current_; }
    int Last() const { return anchor_ < current_ ? current_ : anchor_; }
    int Count() const { return Last() - First() + 1; }
    bool Contains(int line) const { return line >= First() && line <= Last(); }

    // Selects one line, or with extend the range from the anchor to it;
    // lines outside 0..24 are taken as the nearest line.
    void Select(int line, bool extend = false);
    // Moves the current line by delta (clamped to 0..24).
    void MoveBy(int delta, bool extend) { Select(current_ + delta, extend); }

private:
    int anchor_ = 0;
    int current_ = 0;
};
