#include "RecordCommand.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <ostream>
#include <set>
#include <sstream>

#include "BackupSession.h"
#include "CheckCommand.h"
#include "CommandCode.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "ControllerBackup.h"
#include "JsonText.h"
#include "ProgramInput.h"
#include "ProgramListing.h"
#include "RecordReport.h"
#include "RecordingCsv.h"
#include "RunComparison.h"
#include "TextFile.h"

#ifndef KXRD4_VERSION
#define KXRD4_VERSION "unknown"
#endif

namespace {

std::string Fixed(double value, int decimals = 3) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string LineName(int program, int line) {
    char text[32];
    std::snprintf(text, sizeof text, "P%d line %02d", program, line);
    return text;
}

// Program p and every program it reaches by PROG.
std::set<int> Reached(const ProgramSet& set, int p) {
    std::set<int> reached{p};
    std::vector<int> todo{p};
    while (!todo.empty()) {
        const int program = todo.back();
        todo.pop_back();
        for (int l = 0; l < LinesPerProgram; ++l) {
            const ProgramLine& line = set.Line(program, l);
            if (CommandOf(line) == static_cast<int>(CommandCode::PROG) &&
                ProgramSet::IsValidProgram(line[1]) && reached.insert(line[1]).second) {
                todo.push_back(line[1]);
            }
        }
    }
    return reached;
}

void Fail(const std::string& message) {
    throw CommandFailure{"record: " + message};
}

void PrintText(std::ostream& out, const MotionRecording& rec, const RunComparison::Result& c,
               double tolerance, bool within) {
    const double span = rec.samples.empty() ? 0 : rec.samples.back().receivedS;
    out << "recorded " << rec.samples.size() << " samples in " << Fixed(span) << " s ("
        << Fixed(rec.Rate(), 0) << " samples/s, longest gap " << Fixed(rec.LongestGapS() * 1000, 1)
        << " ms); ended: " << MotionRecording::EndText(rec.end) << "\n";
    if (c.alignedAtMotion) {
        out << "aligned at the first motion (the run was not started by record)\n";
    }
    if (c.prediction.enableAssumed) {
        out << "predicted with ENABLE on (the program does not switch it on; the KX-RD4 does "
               "not report it)\n";
    }
    for (const auto& f : c.prediction.run.faults) {
        out << "predicted fault at " << Fixed(double(f.TimeMs) / 1000) << " s, "
            << LineName(f.Program, f.Line) << ": " << f.Reason << "\n";
    }
    out << "cycle time: measured "
        << (c.measuredCycleS ? Fixed(*c.measuredCycleS) + " s" : std::string("-")) << ", predicted "
        << (c.predictedCycleS ? Fixed(*c.predictedCycleS) + " s" : std::string("no end"));
    if (c.measuredCycleS && c.predictedCycleS) {
        out << " (difference " << (*c.measuredCycleS >= *c.predictedCycleS ? "+" : "")
            << Fixed(*c.measuredCycleS - *c.predictedCycleS) << " s, tolerance "
            << Fixed(c.cycleToleranceS) << " s)";
    }
    out << "\n";
    if (!c.arrivals.empty()) {
        out << "arrivals:\n";
    }
    for (const auto& a : c.arrivals) {
        out << "  " << LineName(a.program, a.line) << "  predicted " << Fixed(a.predictedS)
            << " s at " << a.predictedPosition << "  measured ";
        if (a.measuredS) {
            out << Fixed(*a.measuredS) << " s at " << a.measuredPosition << " ("
                << (*a.measuredS >= a.predictedS ? "+" : "") << Fixed(*a.measuredS - a.predictedS)
                << " s)" << (a.OnTime() ? "" : " LATE");
        } else {
            out << "- (not seen)";
        }
        out << "\n";
    }
    out << "largest position deviation: " << Fixed(c.maxDeviation, 0) << " steps";
    if (c.maxDeviation > 0) {
        out << " at " << Fixed(c.maxDeviationS) << " s ("
            << (c.deviationLine >= 0 ? LineName(c.deviationProgram, c.deviationLine)
                                     : std::string("before the first line"))
            << ")";
    }
    out << "\n";
    out << "velocity peak: measured " << c.measuredPeak << " at " << Fixed(c.measuredPeakS)
        << " s, predicted " << c.predictedPeak << " at " << Fixed(c.predictedPeakS) << " s\n";
    out << (within ? "within" : "NOT within") << " the prediction (tolerance "
        << Fixed(tolerance, 0) << " steps)\n";
}

std::string JsonNumber(const std::optional<double>& v) {
    return v ? Fixed(*v, 4) : std::string("null");
}

void PrintJson(std::ostream& out, const MotionRecording& rec, const RunComparison::Result& c,
               double tolerance, bool within) {
    out << "{\"samples\":" << rec.samples.size() << ",\"rate\":" << Fixed(rec.Rate(), 1)
        << ",\"longest_gap_s\":" << Fixed(rec.LongestGapS(), 4)
        << ",\"end\":" << JsonText::Quote(MotionRecording::EndText(rec.end))
        << ",\"aligned_at_motion\":" << (c.alignedAtMotion ? "true" : "false")
        << ",\"enable_assumed\":" << (c.prediction.enableAssumed ? "true" : "false")
        << ",\"measured_cycle_s\":" << JsonNumber(c.measuredCycleS)
        << ",\"predicted_cycle_s\":" << JsonNumber(c.predictedCycleS)
        << ",\"cycle_tolerance_s\":" << Fixed(c.cycleToleranceS, 4) << ",\"arrivals\":[";
    for (std::size_t i = 0; i < c.arrivals.size(); ++i) {
        const auto& a = c.arrivals[i];
        out << (i ? "," : "") << "{\"program\":" << a.program << ",\"line\":" << a.line
            << ",\"predicted_s\":" << Fixed(a.predictedS, 4)
            << ",\"predicted_position\":" << a.predictedPosition
            << ",\"measured_s\":" << JsonNumber(a.measuredS)
            << ",\"measured_position\":" << a.measuredPosition
            << ",\"on_time\":" << (a.OnTime() ? "true" : "false") << "}";
    }
    out << "],\"max_deviation\":" << Fixed(c.maxDeviation, 0)
        << ",\"max_deviation_s\":" << Fixed(c.maxDeviationS, 4)
        << ",\"max_deviation_program\":" << c.deviationProgram
        << ",\"max_deviation_line\":" << c.deviationLine
        << ",\"measured_peak_velocity\":" << c.measuredPeak
        << ",\"predicted_peak_velocity\":" << c.predictedPeak
        << ",\"tolerance\":" << Fixed(tolerance, 0) << ",\"within\":" << (within ? "true" : "false")
        << ",\"findings\":[";
    const auto findings = c.Findings(tolerance);
    for (std::size_t i = 0; i < findings.size(); ++i) {
        out << (i ? "," : "") << JsonText::Quote(findings[i]);
    }
    out << "]}\n";
}

} // namespace

void RecordCommand::Record(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    std::ostream& err = context.Err();
    const int p = *a.program;
    const double limitS = a.simulate.untilSeconds;

    ProgramSet file;
    std::vector<ProgramCheck::Finding> findings;
    if (!a.positional.empty()) {
        std::string error;
        if (!ProgramInput::Load(a.positional[0], std::cin, file, error)) {
            Fail(error);
        }
        findings = CheckCommand::Print(file, p, err);
        if (ProgramCheck::HasErrors(findings)) {
            Fail("P" + std::to_string(p) + " has errors (above); nothing was sent");
        }
    }
    ControllerSession& s = context.HeldController();
    std::string error;
    if (!a.positional.empty()) {
        if (!s.SendProgram(file, p, error)) {
            Fail(error);
        }
        ProgramSet back;
        if (!s.ReadProgram(back, p, error)) {
            Fail("verify: " + error);
        }
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (file.Line(p, l) != back.Line(p, l)) {
                Fail("verify: " + LineName(p, l) + " differs from what was sent");
            }
        }
        (a.json ? err : out) << "P" << p << " sent and verified\n";
    }
    // What the controller holds: program N and those it reaches by PROG.
    ProgramSet held;
    std::set<int> done;
    for (std::set<int> todo{p}; !todo.empty();) {
        const int q = *todo.begin();
        todo.erase(todo.begin());
        if (!done.insert(q).second) {
            continue;
        }
        if (!s.ReadProgram(held, q, error)) {
            Fail("reading P" + std::to_string(q) + " for the prediction: " + error);
        }
        for (int r : Reached(held, q)) {
            if (!done.count(r)) {
                todo.insert(r);
            }
        }
    }
    if (a.positional.empty()) {
        findings = ProgramCheck::CheckProgram(held, p);
    }
    ControllerBackup parameters;
    BackupSession backup(s);
    if (!backup.ReadParameters(parameters, error)) {
        Fail("reading the parameters: " + error);
    }
    std::int32_t position = 0;
    std::int32_t velocity = 0;
    if (!s.Status(position, velocity, error)) {
        Fail(error);
    }
    if (a.record.run && velocity != 0) {
        Fail("the axis moves (" + std::to_string(velocity) +
             " steps/s); the program was not started");
    }

    RunComparison::Setup setup;
    setup.programs = &held;
    setup.program = p;
    setup.parameters = &parameters;
    setup.startPosition = position;
    setup.limitS = limitS;
    const RunComparison::Prediction prediction = RunComparison::Predict(setup);
    if (!prediction.RecordingEndS()) {
        err << "note: P" << p << " does not end within " << Fixed(limitS)
            << " s in the dry run; the recording runs to --until or Ctrl+C\n";
    }

    MotionRecorder::Options options;
    options.limitS = limitS;
    options.replyTimeoutS = static_cast<double>(a.timeout.count()) / 1000.0;
    MotionRecorder recorder(s.PollSender(), ControllerSession::SteadySeconds, options);
    bool startFailed = false;
    const bool recorded = s.Record(
        recorder,
        [&](std::string& e) {
            if (!a.record.run) {
                // Started elsewhere: the first motion sets the run's start.
                if (const auto motion = RunComparison::FirstMotionS(prediction)) {
                    recorder.SetStartAtMotion(*motion);
                    recorder.SetProgramEnd(prediction.RecordingEndS());
                }
                return true;
            }
            ControllerSession::Reply reply;
            const double sent = ControllerSession::SteadySeconds();
            if (!s.Byte(MessageLetter::ProgramStart, static_cast<std::uint8_t>(p), reply, e)) {
                startFailed = true;
                return false;
            }
            recorder.MarkRunStart(sent, ControllerSession::SteadySeconds());
            recorder.SetProgramEnd(prediction.RecordingEndS());
            return true;
        },
        error);
    if (!recorded) {
        context.StopWhenInterrupted(p);
        Fail((startFailed ? "starting P" + std::to_string(p) + ": " : std::string()) + error);
    }
    const MotionRecording& recording = recorder.Recording();
    std::string stopNote;
    if (context.Interrupted() && a.record.run) {
        stopNote = s.StopMotion(p, error) ? "interrupted: P" + std::to_string(p) +
                                                " halted and the motor sent to a stop"
                                          : "interrupted; the stop could not be sent (" + error +
                                                "): the axis may still be moving";
    }

    const RunComparison::Result comparison = RunComparison::Compare(setup, recording);
    const bool within = comparison.Within(a.record.tolerance);
    if (a.json) {
        PrintJson(out, recording, comparison, a.record.tolerance, within);
    } else {
        PrintText(out, recording, comparison, a.record.tolerance, within);
    }
    if (a.simulate.csv) {
        if (!TextFile::Write(*a.simulate.csv, RecordingCsv::Text(recording, &comparison))) {
            Fail("cannot write " + *a.simulate.csv);
        }
    }
    if (a.record.report) {
        RunReportContent content;
        content.toolVersion = KXRD4_VERSION;
        content.emulated = a.emulator;
        const DeviceIdentity identity = context.ControllerIdentity();
        content.serial = identity.serial;
        content.port = identity.port;
        content.path = identity.path;
        content.programs = &held;
        content.program = p;
        content.findings = findings;
        content.parameters = &parameters;
        content.recording = &recording;
        content.comparison = &comparison;
        content.tolerance = a.record.tolerance;
        if (!RecordReport::Write(*a.record.report, content, a.record.language,
                                 context.SettingsPath(), error)) {
            Fail(error);
        }
        (a.json ? err : out) << "report written to " << *a.record.report << "\n";
    }
    if (!stopNote.empty()) {
        throw CommandFailure{"record: " + stopNote};
    }
    if (recording.end == MotionRecording::End::NoAnswer) {
        Fail("the KX-RD4 stopped answering during the recording");
    }
    if (!within) {
        std::string text;
        for (const auto& f : comparison.Findings(a.record.tolerance)) {
            text += "\n  " + f;
        }
        Fail("the run differs from the prediction:" + text);
    }
}
