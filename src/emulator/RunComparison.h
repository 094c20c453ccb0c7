#pragma once
// What the axis did in a recorded run against what the program should have
// made it do: the dry run of the same program (ProgramDryRun) from the
// parameters and the position the controller had just before the run, with
// the input changes recorded during it, aligned at the run's start (the
// ProgramStart written; when the recording holds no start, at the first
// motion).
//
// The protocol reports neither a program's end nor its lines, so:
// - the cycle is measured as the end of motion (the axis at rest for good)
//   plus the predicted time from the end of motion to END;
// - a move's arrival is the first sample, after the axis has moved, in which
//   the velocity is 0, changes sign or passes a minimum below what the
//   prediction reaches within two sample periods of its arrival; it and the
//   end of motion count as on time within the span from the poll of the
//   sample before to the reply of the one after (one sample period) plus the
//   start's uncertainty and the controller's 1 ms clock on either side;
// - a position deviation is counted beyond the timing uncertainty only: the
//   controller read the position somewhere between the poll and its reply
//   (and the run started between ProgramStart and its reply), so each sample
//   is compared with every predicted position of that span.
// ENABLE cannot be read from the controller: a prediction that would fault
// on a move with ENABLE off is made with ENABLE on (EnableAssumed).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "MotionRecording.h"
#include "ProgramDryRun.h"

class RunComparison {
public:
    struct Setup {
        const ProgramSet* programs = nullptr;
        int program = 0;
        const ControllerBackup* parameters = nullptr; // nullptr: power-on values
        std::int32_t startPosition = 0;
        // The inputs' states at the start (changes at 0).
        std::vector<ProgramDryRun::InputChange> startInputs;
        double limitS = 60;
    };

    struct Prediction {
        ProgramDryRun::Result run; // with the trace and samples every 1 ms
        bool enableAssumed = false;
        // Seconds from the start: the program's END (or last fault) and the
        // end of its motion; nullopt when not within the limit.
        std::optional<double> endS;
        std::optional<double> motionEndS;
        // When a recording of the run may end: the later of the two.
        std::optional<double> RecordingEndS() const;
    };

    struct Arrival {
        int program = 0;
        int line = 0; // the line that waited for the axis
        double predictedS = 0;
        std::int32_t predictedPosition = 0;
        std::optional<double> measuredS; // nullopt: not seen
        std::int32_t measuredPosition = 0;
        double toleranceS = 0;
        bool OnTime() const;
    };

    struct Point {
        std::int32_t position = 0;
        std::int32_t velocity = 0;
    };

    struct Result {
        Prediction prediction;
        bool alignedAtMotion = false; // no run start recorded
        double runStartS = 0;         // the run's time 0 in recording time
        double startSpreadS = 0;      // the start's uncertainty
        std::optional<double> predictedCycleS;
        std::optional<double> measuredCycleS;
        double cycleToleranceS = 0;
        std::vector<Arrival> arrivals;
        double maxDeviation = 0;  // steps beyond the timing uncertainty
        double maxDeviationS = 0; // run time of that sample
        std::int32_t maxDeviationMeasured = 0;
        int deviationProgram = 0;
        int deviationLine = -1;        // the predicted line at that time (-1: none)
        std::int32_t measuredPeak = 0; // the velocity of largest magnitude
        double measuredPeakS = 0;
        std::int32_t predictedPeak = 0;
        double predictedPeakS = 0;
        // The prediction at each sample's run time, one per sample.
        std::vector<Point> predicted;
        bool recordedEnd =
            false; // ended as the prediction says (program end, or both at the limit)

        // The run kept to the prediction within tolerance steps and the
        // timing uncertainty; Findings says where it did not.
        bool Within(double toleranceSteps) const;
        std::vector<std::string> Findings(double toleranceSteps) const;
    };

    // The prediction of a run (before it, or with the recorded input changes).
    static Prediction Predict(const Setup& setup,
                              const std::vector<ProgramDryRun::InputChange>& changes = {});
    // The dry run goes as far as the recording plus 2 s (at most setup's
    // limit): a program predicted to end later counts as not ended.
    static Result Compare(const Setup& setup, const MotionRecording& recording);
    // When the predicted axis first moves (seconds from the start), if ever.
    static std::optional<double> FirstMotionS(const Prediction& prediction);

    // Run time of a recording time, given the result's alignment.
    static double RunTime(const Result& result, double recordingS) {
        return recordingS - result.runStartS;
    }
};
