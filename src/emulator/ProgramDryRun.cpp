#include "ProgramDryRun.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "CommandCode.h"
#include "ControllerBackup.h"
#include "MessageLetter.h"
#include "WireInt32.h"

namespace {

constexpr std::int64_t Never = std::numeric_limits<std::int64_t>::max();

void Write(ControllerEmulator& emulator, MessageLetter letter, std::int32_t value,
           std::uint8_t byte6 = 0) {
    std::vector<std::uint8_t> report(65, 0);
    report[0] = 1;
    report[1] = LetterByte(letter);
    WireInt32::Write(value, report.data() + 2);
    report[6] = byte6;
    emulator.HandleRequest(report.data(), report.size(), emulator.Now());
}

// The parameters a program can use, written as the tool writes them. With
// ENABLE off (as at power-on) none of the writes moves the axis.
void ApplyParameters(ControllerEmulator& emulator, const ControllerBackup& backup) {
    struct Target {
        const char* key;
        MessageLetter letter;
    };
    static constexpr Target Targets[] = {
        {"vmin", MessageLetter::VminWrite}, {"vmax", MessageLetter::VmaxWrite},
        {"amax", MessageLetter::AmaxWrite}, {"xdef", MessageLetter::XdefWrite},
        {"vdef", MessageLetter::VdefWrite}, {"wdef", MessageLetter::WdefWrite},
        {"home", MessageLetter::HomeStart},
    };
    for (const Target& target : Targets) {
        const auto found = backup.parameters.find(target.key);
        if (found != backup.parameters.end()) {
            Write(emulator, target.letter, found->second.value,
                  static_cast<std::uint8_t>(found->second.contactType != 0 ? 1 : 0));
        }
    }
}

// The lines that set the axis moving or change its position.
bool SetsMotion(const ProgramLine& bytes) {
    switch (static_cast<CommandCode>(CommandOf(bytes))) {
    case CommandCode::V_DST:
    case CommandCode::X_DST:
    case CommandCode::HOME:
    case CommandCode::CLR_P:
    case CommandCode::X_DFP:
    case CommandCode::X_DFM:
    case CommandCode::V_DFP:
    case CommandCode::V_DFM:
        return true;
    default:
        return false;
    }
}

// What the line the program stands on at the end waits for.
void DescribeWait(const ControllerEmulator& emulator, ProgramDryRun::Result& result) {
    result.program = emulator.RunningProgram();
    result.line = emulator.CurrentLine();
    const ProgramLine bytes = emulator.Programs().Line(result.program, result.line);
    result.waiting = ProgramDryRun::Waiting::Running;
    const int code = CommandOf(bytes);
    if (code < 0) {
        return;
    }
    switch (static_cast<CommandCode>(code)) {
    case CommandCode::W_INP:
        result.waiting = ProgramDryRun::Waiting::Input;
        result.waitInput = bytes[1];
        result.waitState = bytes[2] != 0;
        break;
    case CommandCode::X_DST:
    case CommandCode::HOME:
    case CommandCode::STOP:
    case CommandCode::X_DFP:
    case CommandCode::X_DFM:
        result.waiting = ProgramDryRun::Waiting::Axis;
        break;
    case CommandCode::W_TIM:
    case CommandCode::W_DEF:
        result.waiting = ProgramDryRun::Waiting::Time;
        break;
    default:
        break;
    }
}

} // namespace

ProgramDryRun::Result ProgramDryRun::Run(const ProgramSet& programs, int program,
                                         const Options& options) {
    if (!ProgramSet::IsValidProgram(program)) {
        throw std::out_of_range("program " + std::to_string(program) + ", outside 0..9");
    }
    const std::int64_t limit = std::clamp<std::int64_t>(options.limitMs, 1, MaxLimitMs);
    std::vector<InputChange> inputs = options.inputs;
    std::stable_sort(inputs.begin(), inputs.end(), [](const InputChange& a, const InputChange& b) {
        return a.timeMs < b.timeMs;
    });

    Result result;
    ControllerEmulator emulator;
    emulator.Programs() = programs;
    if (options.parameters != nullptr) {
        ApplyParameters(emulator, *options.parameters);
    }
    emulator.PlaceAxis(options.startPosition);
    if (options.enabled) {
        Write(emulator, MessageLetter::EnableOn, 0);
    }
    std::int64_t lastLineMs = 0;
    int moverProgram = program;
    int moverLine = 0;
    emulator.SetLineObserver([&](std::int64_t ms, int p, int l) {
        lastLineMs = ms;
        if (SetsMotion(emulator.Programs().Line(p, l))) {
            moverProgram = p;
            moverLine = l;
        }
        if (!options.trace) {
            return;
        }
        if (result.trace.size() < MaxTraceLines) {
            result.trace.push_back(LineStart{ms, p, l});
        } else {
            result.traceCut = true;
        }
    });

    std::size_t nextInput = 0;
    auto applyInputsDue = [&] {
        for (; nextInput < inputs.size() && inputs[nextInput].timeMs <= emulator.Now();
             ++nextInput) {
            emulator.SetInput(inputs[nextInput].input, inputs[nextInput].on);
        }
    };
    applyInputsDue();
    std::vector<std::uint8_t> start(65, 0);
    start[0] = 1;
    start[1] = LetterByte(MessageLetter::ProgramStart);
    start[2] = static_cast<std::uint8_t>(program);
    emulator.HandleRequest(start.data(), start.size(), 0);

    // The travel watched: the limits, widened to the start.
    std::int64_t low = 0;
    std::int64_t high = 0;
    if (options.travel) {
        low = std::min<std::int64_t>(options.travel->min, options.startPosition);
        high = std::max<std::int64_t>(options.travel->max, options.startPosition);
    }
    const bool sampling = options.sampleEveryMs > 0;
    std::int64_t nextSample = sampling ? 0 : Never;
    for (;;) {
        const std::int64_t now = emulator.Now();
        applyInputsDue();
        if (now == nextSample) {
            if (result.samples.size() < MaxSamples) {
                result.samples.push_back(Sample{now, emulator.Position(), emulator.Velocity()});
                nextSample += options.sampleEveryMs;
            } else {
                result.samplesCut = true;
                nextSample = Never;
            }
        }
        const bool finished = !emulator.ProgramRunning();
        // (Watched, an axis the program left moving may still leave the travel.)
        const bool settled = nextSample == Never && !options.travel;
        if ((finished && (settled || !emulator.Moving())) || now >= limit) {
            break;
        }
        std::int64_t until = std::min(limit, nextSample);
        if (nextInput < inputs.size()) {
            until = std::min(until, inputs[nextInput].timeMs);
        }
        if (!options.travel) {
            emulator.AdvanceTo(until);
        } else if (emulator.AdvanceWithin(until, low, high, options.travel->vmax.value_or(0))) {
            const std::int32_t position = emulator.Position();
            const bool beyond = position < low || position > high;
            result.breach = Breach{emulator.Now(), !beyond, beyond ? position : emulator.Velocity(),
                                   moverProgram, moverLine};
            break;
        }
    }

    result.faults = emulator.TakeFaults();
    result.ended = !emulator.ProgramRunning();
    if (result.ended) {
        result.endMs = result.faults.empty() ? lastLineMs : result.faults.back().TimeMs;
    } else {
        DescribeWait(emulator, result);
    }
    return result;
}

std::optional<ProgramCheck::Finding>
ProgramDryRun::CheckTravel(const ProgramSet& programs, int program, const Options& options) {
    if (!options.travel) {
        return std::nullopt;
    }
    const Result result = Run(programs, program, options);
    if (!result.breach) {
        return std::nullopt;
    }
    const Breach& b = *result.breach;
    return ProgramCheck::TravelFinding(b.program, b.line, b.velocity, b.value, b.timeMs,
                                       options.startPosition, *options.travel);
}
