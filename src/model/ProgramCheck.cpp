#include "ProgramCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace {

using Finding = ProgramCheck::Finding;
using Grade = ProgramCheck::Grade;
using Kind = ProgramCheck::Kind;

constexpr int LineCount = ProgramCount * LinesPerProgram;
constexpr int MaxLinesPerStep = 1000;
constexpr std::int32_t PowerOnVmax = 1000;

// Path state bits.
constexpr int Enabled = 1;
constexpr int CounterSet = 2;
constexpr int VmaxZero = 4;
constexpr int AmaxZero = 8;
constexpr int StateCount = 16;

int Index(int program, int line) {
    return program * LinesPerProgram + line;
}

std::string TwoDigits(int value) {
    return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value);
}

// One line decoded as the interpreter reads it.
struct Decoded {
    ProgramLine bytes{};
    int code = -1;
    CommandCode command = CommandCode::Empty;
    std::int32_t number = 0;
    bool digitFault = false;
    bool ioFault = false;
    int io = 0;
    bool state = false;
    int target = 0; // jump line or PROG program
    bool jump = false;
    bool moves = false;
};

// The digits of bytes first..last as a number; nothing when one is not 0..9.
std::optional<std::int32_t> Digits(const ProgramLine& line, int first, int last) {
    std::int32_t value = 0;
    for (int i = first; i <= last; ++i) {
        const std::uint8_t byte = line[static_cast<std::size_t>(i)];
        if (byte > 9) {
            return std::nullopt;
        }
        value = value * 10 + byte;
    }
    return value;
}

Decoded Decode(const ProgramLine& bytes) {
    Decoded d;
    d.bytes = bytes;
    d.code = CommandOf(bytes);
    if (d.code < 0) {
        return d;
    }
    d.command = static_cast<CommandCode>(d.code);
    std::optional<std::int32_t> digits;
    bool negative = false;
    switch (OperandLayoutOf(d.code)) {
    case OperandLayout::Digits5:
        digits = Digits(bytes, 1, 5);
        break;
    case OperandLayout::SignedDigits5:
    case OperandLayout::Homing:
        digits = Digits(bytes, 2, 6);
        negative = bytes[1] == 0;
        break;
    case OperandLayout::SignedDigits7:
        digits = Digits(bytes, 1, 7);
        negative = static_cast<std::int8_t>(bytes[0]) < PositiveTargetOffset;
        break;
    case OperandLayout::IoState:
        d.io = bytes[1];
        d.state = bytes[2] != 0;
        d.ioFault = d.io > 1;
        digits = 0;
        break;
    case OperandLayout::LineTarget:
        d.target = bytes[1];
        d.jump = true;
        digits = 0;
        break;
    case OperandLayout::LineIfInput:
        d.target = bytes[1];
        d.io = bytes[2];
        d.state = bytes[3] != 0;
        d.ioFault = d.io > 1;
        d.jump = true;
        digits = 0;
        break;
    case OperandLayout::ProgramTarget:
        d.target = bytes[1];
        digits = 0;
        break;
    case OperandLayout::NoOperand:
        digits = 0;
        break;
    }
    d.digitFault = !digits;
    d.number = digits ? (negative ? -*digits : *digits) : 0;
    using C = CommandCode;
    d.moves = d.command == C::V_DST || d.command == C::X_DST || d.command == C::HOME ||
              d.command == C::X_DFP || d.command == C::X_DFM || d.command == C::V_DFP ||
              d.command == C::V_DFM;
    return d;
}

// "*****": the interpreter goes on to the next line whatever the operand bytes.
bool IsEmptyLine(const ProgramLine& line) {
    return line[0] == 0;
}

bool IsEmptyProgram(const ProgramSet& set, int program) {
    for (int l = 0; l < LinesPerProgram; ++l) {
        if (!IsEmptyLine(set.Line(program, l))) {
            return false;
        }
    }
    return true;
}

// Whether the line ends the 1 ms step whatever the inputs.
bool AlwaysWaits(const Decoded& d) {
    using C = CommandCode;
    switch (d.command) {
    case C::X_DST:
    case C::X_DFP:
    case C::X_DFM:
    case C::W_DEF:
        return true;
    case C::HOME:
        return d.number != 0;
    case C::W_TIM:
        return d.number > 0;
    default:
        return false;
    }
}

class Checker {
public:
    Checker(const ProgramSet& set, const ProgramCheck::Options& options)
        : set_(set), options_(options) {
        for (int p = 0; p < ProgramCount; ++p) {
            programEmpty_[static_cast<std::size_t>(p)] = IsEmptyProgram(set, p);
            for (int l = 0; l < LinesPerProgram; ++l) {
                lines_[static_cast<std::size_t>(Index(p, l))] = Decode(set.Line(p, l));
            }
        }
    }

    std::vector<Finding> Run(const std::vector<int>& entries) {
        Explore(entries);
        for (int p : entries) {
            int first = -1; // the run of unreachable lines under way
            int last = -1;
            for (int l = 0; l <= LinesPerProgram; ++l) {
                const int i = Index(p, l < LinesPerProgram ? l : 0);
                const bool empty = l < LinesPerProgram && IsEmptyLine(At(i).bytes);
                const bool unreachable = l < LinesPerProgram && !empty &&
                                         reachedStates_[static_cast<std::size_t>(i)] == 0;
                if (l < LinesPerProgram && !empty) {
                    considered_[static_cast<std::size_t>(i)] = true;
                }
                if (unreachable) {
                    first = first < 0 ? l : first;
                    last = l;
                } else if (!empty && first >= 0) {
                    AddUnreachable(p, first, last);
                    first = -1;
                }
            }
        }
        for (int i = 0; i < LineCount; ++i) {
            if (considered_[static_cast<std::size_t>(i)] ||
                reachedStates_[static_cast<std::size_t>(i)] != 0) {
                CheckLine(i);
            }
        }
        CheckLoops();
        CheckClamping(entries);

        std::vector<Finding> findings;
        for (auto& [key, finding] : found_) {
            findings.push_back(std::move(finding));
        }
        return findings;
    }

private:
    const Decoded& At(int i) const { return lines_[static_cast<std::size_t>(i)]; }

    bool Reached(int i) const { return reachedStates_[static_cast<std::size_t>(i)] != 0; }

    void Add(int program, int line, Kind kind, std::string polish, std::string english) {
        const Grade grade = kind >= Kind::Unreachable ? Grade::Warning : Grade::Error;
        const auto key = std::make_tuple(program, line, grade, kind);
        if (found_.count(key) == 0) {
            found_.emplace(
                key, Finding{program, line, grade, kind, std::move(polish), std::move(english)});
        }
    }

    void AddUnreachable(int program, int first, int last) {
        if (first == last) {
            Add(program, first, Kind::Unreachable, "Linia nieosiągalna",
                "line can never be reached");
            return;
        }
        char range[16];
        std::snprintf(range, sizeof range, "%02d–%02d", first, last);
        Add(program, first, Kind::Unreachable, std::string("Linie ") + range + " są nieosiągalne",
            std::string("lines ") + range + " can never be reached");
        found_.find(std::make_tuple(program, first, Grade::Warning, Kind::Unreachable))
            ->second.lastLine = last;
    }

    void AddAt(int i, Kind kind, std::string polish, std::string english) {
        Add(i / LinesPerProgram, i % LinesPerProgram, kind, std::move(polish), std::move(english));
    }

    // Faults a line ends the program with whatever the path to it.
    bool HasLineFault(const Decoded& d) const {
        return d.code < 0 || d.digitFault || (d.jump && d.target >= LinesPerProgram) || d.ioFault ||
               (d.command == CommandCode::PROG && d.target >= ProgramCount) ||
               (d.command == CommandCode::HOME && d.number == 0);
    }

    // The lines that can follow line i (by any way of its own), without the
    // state; -1 stands for running past line 24.
    void Successors(int i, const std::function<void(int, bool)>& visit) const {
        const Decoded& d = At(i);
        const int program = i / LinesPerProgram;
        const int line = i % LinesPerProgram;
        const auto next = [&] { visit(line + 1 < LinesPerProgram ? i + 1 : -1, false); };
        using C = CommandCode;
        switch (d.command) {
        case C::END:
            return;
        case C::J_LIN:
            visit(Index(program, d.target), false);
            return;
        case C::J_CNT:
            visit(Index(program, d.target), true);
            next();
            return;
        case C::J_INP:
            visit(Index(program, d.target), false);
            next();
            return;
        case C::PROG:
            visit(Index(d.target, 0), false);
            return;
        default:
            next();
        }
    }

    void Explore(const std::vector<int>& entries) {
        std::vector<int> work;
        std::array<bool, LineCount * StateCount> seen{};
        const auto push = [&](int i, int state) {
            const auto node = static_cast<std::size_t>(i * StateCount + state);
            if (!seen[node]) {
                seen[node] = true;
                reachedStates_[static_cast<std::size_t>(i)] |= 1u << state;
                work.push_back(i * StateCount + state);
            }
        };
        for (int p : entries) {
            push(Index(p, 0), 0);
        }
        while (!work.empty()) {
            const int node = work.back();
            work.pop_back();
            const int i = node / StateCount;
            int state = node % StateCount;
            const Decoded& d = At(i);
            if (HasLineFault(d)) {
                continue;
            }
            using C = CommandCode;
            // A move with ENABLE off or a limit at 0 is reported from the
            // states reaching it; the path is followed on as if it had run,
            // so the lines after it are neither unreachable nor unchecked.
            switch (d.command) {
            case C::V_MAX:
                state = d.number <= 0 ? (state | VmaxZero) : (state & ~VmaxZero);
                break;
            case C::A_MAX:
                state = d.number <= 0 ? (state | AmaxZero) : (state & ~AmaxZero);
                break;
            case C::M_EN:
                state |= Enabled;
                break;
            case C::M_DIS:
                state &= ~Enabled;
                break;
            case C::S_CNT:
                state |= CounterSet;
                break;
            default:
                break;
            }
            Successors(i, [&](int to, bool) {
                if (to < 0) {
                    pastEnd_[static_cast<std::size_t>(i)] = true;
                } else {
                    push(to, state);
                }
            });
        }
    }

    // The findings of one line on its own and from the states reaching it.
    void CheckLine(int i) {
        const Decoded& d = At(i);
        const int program = i / LinesPerProgram;
        using C = CommandCode;
        if (d.code < 0) {
            AddAt(i, Kind::UnknownCommand, "Nieznany rozkaz " + std::to_string(d.bytes[0]),
                  "unknown command byte " + std::to_string(d.bytes[0]));
            return;
        }
        if (d.digitFault) {
            AddAt(i, Kind::DigitOutOfRange, "Cyfra spoza zakresu 0..9",
                  "a digit byte outside 0..9");
        }
        if (d.jump) {
            if (d.target >= LinesPerProgram) {
                AddAt(i, Kind::JumpOutOfRange,
                      "Skok poza program (linia " + std::to_string(d.target) + ")",
                      "jump to line " + std::to_string(d.target) + ", outside 00..24");
            } else if (IsEmptyLine(set_.Line(program, d.target))) {
                AddAt(i, Kind::JumpToEmptyLine, "Skok do pustej linii " + TwoDigits(d.target),
                      "jump to empty line " + TwoDigits(d.target));
            }
        }
        if (d.ioFault) {
            AddAt(i, Kind::IoOutOfRange, "Wejście/wyjście " + std::to_string(d.io) + " poza 0..1",
                  "I/O number " + std::to_string(d.io) + ", outside 0..1");
        }
        if (d.command == C::PROG) {
            if (d.target >= ProgramCount) {
                AddAt(i, Kind::ProgramOutOfRange,
                      "Program " + std::to_string(d.target) + " poza 0..9",
                      "program " + std::to_string(d.target) + ", outside 0..9");
            } else if (programEmpty_[static_cast<std::size_t>(d.target)]) {
                AddAt(i, Kind::ProgToEmptyProgram,
                      "Przejście do pustego programu " + std::to_string(d.target),
                      "PROG to empty program " + std::to_string(d.target));
            }
        }
        if (d.command == C::HOME && d.number == 0 && !d.digitFault) {
            AddAt(i, Kind::HomeVelocityZero, "Bazowanie z prędkością 0", "homing with velocity 0");
        }
        const unsigned states = reachedStates_[static_cast<std::size_t>(i)];
        if (states == 0 || HasLineFault(d)) {
            return;
        }
        if (pastEnd_[static_cast<std::size_t>(i)]) {
            AddAt(i, Kind::RunsPastLastLine, "Brak END: program wychodzi poza linię 24",
                  "no END: the program runs past line 24");
        }
        unsigned enabled = 0;
        unsigned disabled = 0;
        unsigned zeroLimit = 0;
        unsigned counterUnset = 0;
        for (int s = 0; s < StateCount; ++s) {
            if ((states & (1u << s)) == 0) {
                continue;
            }
            ((s & Enabled) != 0 ? enabled : disabled) |= 1;
            if ((s & Enabled) != 0 && (s & (VmaxZero | AmaxZero)) != 0) {
                zeroLimit = 1;
            }
            if ((s & CounterSet) == 0) {
                counterUnset = 1;
            }
        }
        if (d.moves && disabled != 0) {
            if (enabled != 0) {
                AddAt(i, Kind::MoveWhileDisabled, "Ruch, gdy silnik może być wyłączony (M_EN)",
                      "a move on a path where the motor is disabled (M_EN)");
            } else {
                AddAt(i, Kind::MoveWhileDisabled, "Ruch przy wyłączonym silniku (brak M_EN)",
                      "a move while the motor is disabled (no M_EN)");
            }
        }
        if (d.moves && zeroLimit != 0) {
            AddAt(i, Kind::MoveWithZeroLimit, "Ruch przy V max lub A max równym 0",
                  "a move while V max or A max is 0");
        }
        if (d.command == C::J_CNT && counterUnset != 0) {
            AddAt(i, Kind::CounterNotSet, "J_CNT bez wcześniejszego S_CNT",
                  "J_CNT without an S_CNT before it");
        }
        if ((d.command == C::W_INP || d.command == C::J_INP) &&
            !options_.changingInputs[static_cast<std::size_t>(d.io)]) {
            const std::string io = std::to_string(d.io);
            if (d.command == C::W_INP) {
                AddAt(i, Kind::FixedInput, "Czeka na wejście " + io + ", którego nic nie zmienia",
                      "waits for input " + io + ", which nothing changes in the dry run");
            } else {
                AddAt(i, Kind::FixedInput, "Wejście " + io + " nie zmienia się w symulacji",
                      "tests input " + io + ", which nothing changes in the dry run");
            }
        }
    }

    // Loops that can run without waiting, for each state of the two inputs.
    void CheckLoops() {
        std::int32_t maxCount = 0;
        for (int i = 0; i < LineCount; ++i) {
            if (Reached(i) && At(i).command == CommandCode::S_CNT && !At(i).digitFault) {
                maxCount = std::max(maxCount, At(i).number);
            }
        }
        std::array<bool, LineCount> flagged{};
        for (int inputs = 0; inputs < 4; ++inputs) {
            const auto input = [&](int io) { return ((inputs >> io) & 1) != 0; };
            // Nodes: reached lines that can go on without waiting.
            std::array<bool, LineCount> node{};
            for (int i = 0; i < LineCount; ++i) {
                const Decoded& d = At(i);
                node[static_cast<std::size_t>(i)] =
                    Reached(i) && !HasLineFault(d) && !AlwaysWaits(d) &&
                    !(d.command == CommandCode::W_INP && input(d.io) != d.state);
            }
            const auto edges = [&](int i, bool withCounter, const std::function<void(int)>& to) {
                const Decoded& d = At(i);
                if (d.command == CommandCode::J_INP) {
                    const int next = i % LinesPerProgram + 1 < LinesPerProgram ? i + 1 : -1;
                    const int t =
                        input(d.io) == d.state ? Index(i / LinesPerProgram, d.target) : next;
                    if (t >= 0 && node[static_cast<std::size_t>(t)]) {
                        to(t);
                    }
                    return;
                }
                Successors(i, [&](int t, bool counterEdge) {
                    if (t >= 0 && node[static_cast<std::size_t>(t)] &&
                        (withCounter || !counterEdge)) {
                        to(t);
                    }
                });
            };
            for (bool withCounter : {false, true}) {
                for (const std::vector<int>& scc : Components(node, withCounter, edges)) {
                    bool runsAway = !withCounter;
                    if (withCounter) {
                        for (int i : scc) {
                            runsAway = runsAway ||
                                       (At(i).command == CommandCode::S_CNT && At(i).number >= 2);
                        }
                        const std::int64_t bound =
                            (std::int64_t{maxCount} + 1) * static_cast<std::int64_t>(scc.size()) +
                            LineCount;
                        runsAway = runsAway || bound > MaxLinesPerStep;
                    }
                    if (!runsAway) {
                        continue;
                    }
                    for (int i : scc) {
                        flagged[static_cast<std::size_t>(i)] = true;
                    }
                }
            }
        }
        for (int i = 0; i < LineCount; ++i) {
            if (flagged[static_cast<std::size_t>(i)]) {
                AddAt(i, Kind::LoopWithoutWait, "Pętla bez oczekiwania (ponad 1000 linii w 1 ms)",
                      "a loop with no waiting line (more than 1000 lines in 1 ms)");
            }
        }
    }

    // The strongly connected components with a cycle (Tarjan).
    template <typename Edges>
    std::vector<std::vector<int>> Components(const std::array<bool, LineCount>& node,
                                             bool withCounter, const Edges& edges) const {
        std::array<int, LineCount> index{};
        std::array<int, LineCount> low{};
        std::array<bool, LineCount> onStack{};
        index.fill(-1);
        std::vector<int> stack;
        std::vector<std::vector<int>> result;
        int counter = 0;
        std::function<void(int)> connect = [&](int v) {
            const auto sv = static_cast<std::size_t>(v);
            index[sv] = low[sv] = counter++;
            stack.push_back(v);
            onStack[sv] = true;
            bool selfLoop = false;
            edges(v, withCounter, [&](int w) {
                const auto sw = static_cast<std::size_t>(w);
                selfLoop = selfLoop || w == v;
                if (index[sw] < 0) {
                    connect(w);
                    low[sv] = std::min(low[sv], low[sw]);
                } else if (onStack[sw]) {
                    low[sv] = std::min(low[sv], index[sw]);
                }
            });
            if (low[sv] == index[sv]) {
                std::vector<int> scc;
                int w = 0;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[static_cast<std::size_t>(w)] = false;
                    scc.push_back(w);
                } while (w != v);
                if (scc.size() > 1 || selfLoop) {
                    result.push_back(std::move(scc));
                }
            }
        };
        for (int v = 0; v < LineCount; ++v) {
            if (node[static_cast<std::size_t>(v)] && index[static_cast<std::size_t>(v)] < 0) {
                connect(v);
            }
        }
        return result;
    }

    // Velocities above the largest V max that can be in effect.
    void CheckClamping(const std::vector<int>& entries) {
        std::array<std::int32_t, LineCount> vmax{};
        vmax.fill(-1);
        std::vector<int> work;
        const auto raise = [&](int i, std::int32_t value) {
            if (value > vmax[static_cast<std::size_t>(i)]) {
                vmax[static_cast<std::size_t>(i)] = value;
                work.push_back(i);
            }
        };
        for (int p : entries) {
            raise(Index(p, 0), PowerOnVmax);
        }
        while (!work.empty()) {
            const int i = work.back();
            work.pop_back();
            const Decoded& d = At(i);
            if (HasLineFault(d)) {
                continue;
            }
            const std::int32_t out =
                d.command == CommandCode::V_MAX ? d.number : vmax[static_cast<std::size_t>(i)];
            Successors(i, [&](int to, bool) {
                if (to >= 0) {
                    raise(to, out);
                }
            });
        }
        for (int i = 0; i < LineCount; ++i) {
            const Decoded& d = At(i);
            const std::int32_t limit = vmax[static_cast<std::size_t>(i)];
            const bool velocity = d.command == CommandCode::V_DST || d.command == CommandCode::HOME;
            if (velocity && !d.digitFault && limit > 0 && std::abs(d.number) > limit) {
                const std::string value = std::to_string(std::abs(d.number));
                AddAt(i, Kind::ClampedValue,
                      "Prędkość " + value + " ograniczona do V max " + std::to_string(limit),
                      "velocity " + value + " is limited to V max " + std::to_string(limit));
            }
        }
    }

    const ProgramSet& set_;
    const ProgramCheck::Options& options_;
    std::array<Decoded, LineCount> lines_{};
    std::array<bool, ProgramCount> programEmpty_{};
    std::array<unsigned, LineCount> reachedStates_{};
    std::array<bool, LineCount> pastEnd_{};
    std::array<bool, LineCount> considered_{};
    std::map<std::tuple<int, int, Grade, Kind>, Finding> found_;
};

} // namespace

std::vector<ProgramCheck::Finding> ProgramCheck::CheckProgram(const ProgramSet& set, int program,
                                                              const Options& options) {
    if (!ProgramSet::IsValidProgram(program) || IsEmptyProgram(set, program)) {
        return {}; // nothing to check: sending it clears the controller's program
    }
    return Checker(set, options).Run({program});
}

std::vector<ProgramCheck::Finding> ProgramCheck::CheckAll(const ProgramSet& set,
                                                          const Options& options) {
    std::vector<int> entries;
    for (int p = 0; p < ProgramCount; ++p) {
        if (!IsEmptyProgram(set, p)) {
            entries.push_back(p);
        }
    }
    return Checker(set, options).Run(entries);
}

const char* ProgramCheck::Code(Kind kind) {
    switch (kind) {
    case Kind::UnknownCommand:
        return "unknown-command";
    case Kind::DigitOutOfRange:
        return "digit-out-of-range";
    case Kind::IoOutOfRange:
        return "io-out-of-range";
    case Kind::JumpOutOfRange:
        return "jump-out-of-range";
    case Kind::JumpToEmptyLine:
        return "jump-to-empty-line";
    case Kind::ProgramOutOfRange:
        return "program-out-of-range";
    case Kind::ProgToEmptyProgram:
        return "prog-to-empty-program";
    case Kind::RunsPastLastLine:
        return "runs-past-last-line";
    case Kind::LoopWithoutWait:
        return "loop-without-wait";
    case Kind::MoveWhileDisabled:
        return "move-while-disabled";
    case Kind::MoveWithZeroLimit:
        return "move-with-zero-limit";
    case Kind::HomeVelocityZero:
        return "home-velocity-zero";
    case Kind::LeavesTravel:
        return "leaves-travel";
    case Kind::AboveVelocityLimit:
        return "above-velocity-limit";
    case Kind::Unreachable:
        return "unreachable";
    case Kind::CounterNotSet:
        return "counter-not-set";
    case Kind::FixedInput:
        return "fixed-input";
    case Kind::ClampedValue:
        return "clamped-value";
    }
    return "unknown";
}

ProgramCheck::Finding ProgramCheck::TravelFinding(int program, int line, bool velocity,
                                                  std::int32_t value, std::int64_t ms,
                                                  std::int32_t start, const TravelLimits& limits) {
    Finding finding;
    finding.program = program;
    finding.line = line;
    finding.grade = Grade::Error;
    finding.kind = velocity ? Kind::AboveVelocityLimit : Kind::LeavesTravel;
    char time[32];
    std::snprintf(time, sizeof time, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    std::string polishTime = time;
    polishTime[polishTime.find('.')] = ',';
    const std::string from = std::to_string(start);
    const std::string v = std::to_string(value);
    if (velocity) {
        const std::string limit = std::to_string(limits.vmax.value_or(0));
        finding.polish = "Prędkość " + v + " powyżej granicy V max " + limit + " po " + polishTime +
                         " s (start z pozycji " + from + ")";
        finding.english = "the velocity reaches " + v + ", above the travel limits' vmax " + limit +
                          ", after " + time + " s (starting at position " + from + ")";
    } else {
        const std::string range = limits.Range();
        finding.polish = "Oś wyjeżdża poza granice ruchu " + range + ": pozycja " + v + " po " +
                         polishTime + " s (start z pozycji " + from + ")";
        finding.english = "the axis leaves the travel limits " + range + ": position " + v +
                          " after " + time + " s (starting at position " + from + ")";
    }
    return finding;
}

void ProgramCheck::Insert(std::vector<Finding>& findings, const Finding& finding) {
    const auto before = [](const Finding& a, const Finding& b) {
        return std::tuple(a.program, a.line, a.grade != Grade::Error) <
               std::tuple(b.program, b.line, b.grade != Grade::Error);
    };
    findings.insert(std::upper_bound(findings.begin(), findings.end(), finding, before), finding);
}

bool ProgramCheck::HasErrors(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.grade == Grade::Error; });
}

bool ProgramCheck::HasWarnings(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.grade == Grade::Warning; });
}
