#include "LineSelection.h"

#include <algorithm>

void LineSelection::Select(int line, bool extend) {
    current_ = std::clamp(line, 0, LinesPerProgram - 1);
    if (!extend) {
        anchor_ = current_;
    }
}
