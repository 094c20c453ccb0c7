#pragma once
// The samples of a recorded run as CSV, for a spreadsheet or a plot: one row
// a sample, "time_s,position,velocity,predicted_position,predicted_velocity",
// the time in seconds from the run's start (negative before it), the
// predicted columns empty without a comparison. Read reads such a text back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MotionRecording.h"
#include "RunComparison.h"

class RecordingCsv {
public:
    static constexpr const char* Header =
        "time_s,position,velocity,predicted_position,predicted_velocity";

    struct Row {
        double timeS = 0;
        std::int32_t position = 0;
        std::int32_t velocity = 0;
        std::optional<std::int32_t> predictedPosition;
        std::optional<std::int32_t> predictedVelocity;
    };

    // comparison: of this recording, or nullptr.
    static std::string Text(const MotionRecording& recording,
                            const RunComparison::Result* comparison);
    // The rows of a text Text wrote; false at the first line it cannot read.
    static bool Read(std::string_view text, std::vector<Row>& rows);
};
