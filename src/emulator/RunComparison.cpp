#include "RunComparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CommandCode.h"

namespace {

using Sample = MotionRecording::Sample;
using DrySample = ProgramDryRun::Sample;

// The lines whose next line waits for the axis to end its motion.
bool WaitsForAxis(const ProgramSet& programs, int program, int line) {
    const int code = CommandOf(programs.Line(program, line));
    if (code < 0) {
        return false;
    }
    switch (static_cast<CommandCode>(code)) {
    case CommandCode::X_DST:
    case CommandCode::X_DFP:
    case CommandCode::X_DFM:
    case CommandCode::HOME:
    case CommandCode::STOP:
        return true;
    default:
        return false;
    }
}

// The predicted sample at ms (the start position before the start, the last
// sample after the end).
DrySample PredictedAt(const ProgramDryRun::Result& run, std::int64_t ms, std::int32_t start) {
    if (run.samples.empty() || ms < 0) {
        return DrySample{ms, run.samples.empty() ? start : run.samples.front().position, 0};
    }
    const auto index = static_cast<std::size_t>(
        std::min<std::int64_t>(ms, static_cast<std::int64_t>(run.samples.size()) - 1));
    return run.samples[index];
}

// The end of motion: the time of the first sample of the rest that lasts to
// the end (0 when nothing moved).
std::optional<double> PredictedMotionEnd(const ProgramDryRun::Result& run) {
    const auto& s = run.samples;
    for (std::size_t i = s.size(); i-- > 1;) {
        if (s[i].velocity != 0 || s[i].position != s[i - 1].position) {
            if (i + 1 >= s.size()) {
                return std::nullopt; // still moving at the limit
            }
            return static_cast<double>(s[i + 1].timeMs) / 1000.0;
        }
    }
    if (!s.empty() && s.front().velocity != 0) {
        return std::nullopt;
    }
    return 0.0;
}

bool Moving(const std::vector<Sample>& s, std::size_t i) {
    return s[i].velocity != 0 || (i > 0 && s[i].position != s[i - 1].position);
}

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", s);
    return text;
}

std::string LineName(int program, int line) {
    char text[32];
    std::snprintf(text, sizeof text, "P%d line %02d", program, line);
    return text;
}

} // namespace

std::optional<double> RunComparison::FirstMotionS(const Prediction& prediction) {
    const auto& s = prediction.run.samples;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i].velocity != 0 || s[i].position != s[i - 1].position) {
            return static_cast<double>(s[i - 1].timeMs) / 1000.0;
        }
    }
    return std::nullopt;
}

std::optional<double> RunComparison::Prediction::RecordingEndS() const {
    if (!endS) {
        return std::nullopt;
    }
    if (!motionEndS) {
        return std::nullopt;
    }
    return std::max(*endS, *motionEndS);
}

bool RunComparison::Arrival::OnTime() const {
    return measuredS && std::abs(*measuredS - predictedS) <= toleranceS;
}

RunComparison::Prediction
RunComparison::Predict(const Setup& setup, const std::vector<ProgramDryRun::InputChange>& changes) {
    ProgramDryRun::Options options;
    options.limitMs = static_cast<std::int64_t>(std::ceil(setup.limitS * 1000));
    options.inputs = setup.startInputs;
    options.inputs.insert(options.inputs.end(), changes.begin(), changes.end());
    options.parameters = setup.parameters;
    options.startPosition = setup.startPosition;
    options.trace = true;
    options.sampleEveryMs = 1;
    Prediction prediction;
    prediction.run = ProgramDryRun::Run(*setup.programs, setup.program, options);
    if (!prediction.run.faults.empty() &&
        prediction.run.faults.front().Cause == ControllerEmulator::FaultCause::MoveDisabled) {
        options.enabled = true;
        prediction.enableAssumed = true;
        prediction.run = ProgramDryRun::Run(*setup.programs, setup.program, options);
    }
    if (prediction.run.ended) {
        prediction.endS = static_cast<double>(prediction.run.endMs) / 1000.0;
    }
    prediction.motionEndS = PredictedMotionEnd(prediction.run);
    return prediction;
}

RunComparison::Result RunComparison::Compare(const Setup& given, const MotionRecording& recording) {
    // The prediction is needed as far as the recording goes (and a little
    // beyond, for a program that ends just after); the rest would only cost.
    Setup setup = given;
    if (!recording.samples.empty()) {
        const double start = recording.runStart ? recording.runStart->sentS : 0.0;
        setup.limitS = std::min(setup.limitS, recording.samples.back().receivedS - start + 2.0);
    }
    Result result;
    const std::vector<Sample>& samples = recording.samples;

    // The input changes in run time: alignment first (it needs no inputs).
    Prediction first = Predict(setup);
    const std::optional<double> firstMotion = FirstMotionS(first);
    if (recording.runStart) {
        result.alignedAtMotion = recording.runStart->atMotion;
        result.runStartS = recording.runStart->sentS;
        result.startSpreadS = recording.runStart->repliedS - recording.runStart->sentS;
    } else {
        result.alignedAtMotion = true;
        const double predictedMotion = firstMotion.value_or(0.0);
        for (std::size_t i = 1; i < samples.size(); ++i) {
            if (Moving(samples, i)) {
                result.runStartS = samples[i - 1].TimeS() - predictedMotion;
                result.startSpreadS = samples[i].TimeS() - samples[i - 1].TimeS();
                break;
            }
        }
    }
    std::vector<ProgramDryRun::InputChange> changes;
    for (const auto& change : recording.inputs) {
        const double runS = change.timeS - result.runStartS;
        changes.push_back(
            {std::max<std::int64_t>(0, std::llround(runS * 1000)), change.input, change.on});
    }
    result.prediction = changes.empty() ? std::move(first) : Predict(setup, changes);
    const Prediction& prediction = result.prediction;
    const ProgramDryRun::Result& run = prediction.run;

    // The prediction at each sample, the deviation beyond the timing
    // uncertainty and the velocity peaks.
    const double spread = result.startSpreadS;
    result.predicted.reserve(samples.size());
    auto lineAt = [&](std::int64_t ms, int& program, int& line) {
        const auto after = std::upper_bound(
            run.trace.begin(), run.trace.end(), ms,
            [](std::int64_t t, const ProgramDryRun::LineStart& s) { return t < s.timeMs; });
        if (after == run.trace.begin()) {
            program = setup.program;
            line = -1;
            return;
        }
        program = std::prev(after)->program;
        line = std::prev(after)->line;
    };
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        const double t = s.TimeS() - result.runStartS;
        const DrySample at = PredictedAt(run, std::llround(t * 1000), setup.startPosition);
        result.predicted.push_back(Point{at.position, at.velocity});
        const auto from =
            static_cast<std::int64_t>(std::floor((s.sentS - result.runStartS - spread) * 1000) - 1);
        const auto to =
            static_cast<std::int64_t>(std::ceil((s.receivedS - result.runStartS) * 1000) + 1);
        std::int32_t low = at.position;
        std::int32_t high = at.position;
        for (std::int64_t ms = from; ms <= to; ++ms) {
            const std::int32_t p = PredictedAt(run, ms, setup.startPosition).position;
            low = std::min(low, p);
            high = std::max(high, p);
        }
        const double deviation = s.position < low    ? double(low) - s.position
                                 : s.position > high ? double(s.position) - high
                                                     : 0.0;
        if (deviation > result.maxDeviation) {
            result.maxDeviation = deviation;
            result.maxDeviationS = t;
            result.maxDeviationMeasured = s.position;
            lineAt(std::llround(t * 1000), result.deviationProgram, result.deviationLine);
        }
        if (std::abs(std::int64_t{s.velocity}) > std::abs(std::int64_t{result.measuredPeak})) {
            result.measuredPeak = s.velocity;
            result.measuredPeakS = t;
        }
    }
    for (const DrySample& s : run.samples) {
        if (std::abs(std::int64_t{s.velocity}) > std::abs(std::int64_t{result.predictedPeak})) {
            result.predictedPeak = s.velocity;
            result.predictedPeakS = static_cast<double>(s.timeMs) / 1000.0;
        }
    }

    // How uncertain an event between samples i - 1 and i is: from the poll of
    // the one before to the reply of the one after.
    auto gapAround = [&](std::size_t i) {
        if (samples.size() < 2) {
            return 0.0;
        }
        const std::size_t j = std::clamp<std::size_t>(i, 1, samples.size() - 1);
        return samples[j].receivedS - samples[j - 1].sentS;
    };
    double typicalGap = 0;
    if (samples.size() >= 2) {
        std::vector<double> gaps;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            gaps.push_back(samples[i].TimeS() - samples[i - 1].TimeS());
        }
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        typicalGap = gaps[gaps.size() / 2];
    }

    // Arrivals, in order.
    std::size_t next = 0; // the first sample after the last arrival found
    for (std::size_t k = 0; k + 1 < run.trace.size(); ++k) {
        const auto& line = run.trace[k];
        if (!WaitsForAxis(*setup.programs, line.program, line.line)) {
            continue;
        }
        const std::int64_t arrivalMs = run.trace[k + 1].timeMs;
        bool moved = false;
        for (std::int64_t ms = line.timeMs; ms <= arrivalMs && !moved; ++ms) {
            moved = PredictedAt(run, ms, setup.startPosition).velocity != 0;
        }
        if (!moved) {
            continue;
        }
        Arrival arrival;
        arrival.program = line.program;
        arrival.line = line.line;
        arrival.predictedS = static_cast<double>(arrivalMs) / 1000.0;
        arrival.predictedPosition = PredictedAt(run, arrivalMs, setup.startPosition).position;
        const auto window = static_cast<std::int64_t>(std::ceil(2 * typicalGap * 1000)) + 1;
        std::int64_t slow = 1;
        for (std::int64_t ms = arrivalMs - window; ms <= arrivalMs + window; ++ms) {
            slow = std::max<std::int64_t>(
                slow, std::abs(std::int64_t{PredictedAt(run, ms, setup.startPosition).velocity}));
        }
        bool seenMotion = false;
        for (std::size_t i = std::max<std::size_t>(next, 1); i < samples.size(); ++i) {
            if (samples[i].TimeS() - result.runStartS < static_cast<double>(line.timeMs) / 1000.0) {
                continue;
            }
            const std::int64_t v = samples[i].velocity;
            const std::int64_t before = samples[i - 1].velocity;
            if (!seenMotion) {
                seenMotion = std::abs(v) > slow;
                continue;
            }
            const bool stopped = v == 0;
            const bool reversed = (v > 0 && before < 0) || (v < 0 && before > 0);
            const bool minimum = i + 1 < samples.size() && std::abs(v) <= slow &&
                                 std::abs(v) < std::abs(before) &&
                                 std::abs(v) <= std::abs(std::int64_t{samples[i + 1].velocity});
            if (!(stopped || reversed || minimum)) {
                continue;
            }
            double at = samples[i].TimeS();
            if (stopped) {
                at = (samples[i - 1].TimeS() + samples[i].TimeS()) / 2;
            } else if (reversed) {
                const double share = static_cast<double>(std::abs(before)) /
                                     static_cast<double>(std::abs(before) + std::abs(v));
                at = samples[i - 1].TimeS() + share * (samples[i].TimeS() - samples[i - 1].TimeS());
            }
            arrival.measuredS = at - result.runStartS;
            arrival.measuredPosition = samples[i].position;
            arrival.toleranceS = gapAround(i) + spread + 0.002;
            next = i + 1;
            break;
        }
        if (!arrival.measuredS) {
            arrival.toleranceS = typicalGap + spread + 0.002;
        }
        result.arrivals.push_back(arrival);
    }

    // The cycle: the end of motion plus the predicted rest of the program.
    if (prediction.endS) {
        result.predictedCycleS = prediction.endS;
    }
    std::optional<double> measuredMotionEnd;
    std::size_t lastMoving = samples.size();
    for (std::size_t i = samples.size(); i-- > 0;) {
        if (Moving(samples, i)) {
            lastMoving = i;
            break;
        }
    }
    if (lastMoving == samples.size()) {
        measuredMotionEnd = samples.empty() ? std::nullopt : std::optional<double>(0.0);
    } else if (lastMoving + 1 < samples.size()) {
        measuredMotionEnd =
            (samples[lastMoving].TimeS() + samples[lastMoving + 1].TimeS()) / 2 - result.runStartS;
        result.cycleToleranceS = gapAround(lastMoving + 1) + spread + 0.002;
    }
    if (measuredMotionEnd && prediction.endS && prediction.motionEndS &&
        recording.end == MotionRecording::End::ProgramEnded) {
        result.measuredCycleS = *measuredMotionEnd + (*prediction.endS - *prediction.motionEndS);
        result.measuredCycleS = std::max(*result.measuredCycleS, 0.0);
    }
    if (result.cycleToleranceS == 0) {
        result.cycleToleranceS = typicalGap + spread + 0.002;
    }
    // Stopped or cut by the limit while the prediction still runs: as expected.
    result.recordedEnd = recording.end == MotionRecording::End::ProgramEnded ||
                         ((recording.end == MotionRecording::End::TimeLimit ||
                           recording.end == MotionRecording::End::Stopped) &&
                          !prediction.endS);
    return result;
}

std::vector<std::string> RunComparison::Result::Findings(double toleranceSteps) const {
    std::vector<std::string> findings;
    if (!recordedEnd) {
        findings.push_back(prediction.endS ? "the program's end was not seen (the recording " +
                                                 std::string("ended before the axis came to rest") +
                                                 " after its predicted end)"
                                           : "the recording ended early (no answer)");
    }
    if (predictedCycleS && measuredCycleS &&
        std::abs(*measuredCycleS - *predictedCycleS) > cycleToleranceS) {
        findings.push_back("cycle time " + Seconds(*measuredCycleS) + ", predicted " +
                           Seconds(*predictedCycleS) + " (" +
                           (*measuredCycleS > *predictedCycleS ? "late by " : "early by ") +
                           Seconds(std::abs(*measuredCycleS - *predictedCycleS)) + ")");
    }
    for (const Arrival& a : arrivals) {
        if (!a.measuredS) {
            findings.push_back("the move of " + LineName(a.program, a.line) + " (predicted at " +
                               Seconds(a.predictedS) + ") was not seen to arrive");
        } else if (!a.OnTime()) {
            findings.push_back("the move of " + LineName(a.program, a.line) + " arrived at " +
                               Seconds(*a.measuredS) + ", predicted " + Seconds(a.predictedS));
        }
    }
    if (maxDeviation > toleranceSteps) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "position deviation %.0f steps at %.3f s (%s), beyond the tolerance of %.0f",
                      maxDeviation, maxDeviationS,
                      deviationLine >= 0 ? LineName(deviationProgram, deviationLine).c_str()
                                         : "before the first line",
                      toleranceSteps);
        findings.push_back(text);
    }
    return findings;
}

bool RunComparison::Result::Within(double toleranceSteps) const {
    return Findings(toleranceSteps).empty();
}
