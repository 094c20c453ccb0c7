#include "ControllerEmulator.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "EmulatedAxis.h"
#include "MessageLetter.h"
#include "WireInt32.h"

namespace {

using Letter = MessageLetter;

constexpr std::size_t MinReplyLength = 12;
constexpr std::int64_t Forever = EmulatedAxis::Forever;

// Bytes a request must have (identifier and letter included) for its letter;
// 0 for letters the controller does not take.
std::size_t RequestLength(std::uint8_t letter) {
    switch (static_cast<Letter>(letter)) {
    case Letter::LineWrite:
        return 12;
    case Letter::LineRead:
        return 4;
    case Letter::ProgramStored:
        return 0; // the controller's own notice, never a request
    case Letter::ProgramStart:
    case Letter::ProgramHalt:
    case Letter::ModbusAddress:
        return 3;
    case Letter::HomeStart:
        return 7;
    case Letter::VminWrite:
    case Letter::VmaxWrite:
    case Letter::AmaxWrite:
    case Letter::VdstSet:
    case Letter::XdstSet:
    case Letter::VelocityUp:
    case Letter::VelocityDown:
    case Letter::PositionDown:
    case Letter::PositionUp:
    case Letter::ModbusBaud:
    case Letter::InputFilter:
    case Letter::XdefWrite:
    case Letter::VdefWrite:
    case Letter::WdefWrite:
        return 6;
    default:
        return letter >= FirstMessageLetter && letter <= LastMessageLetter ? 2 : 0;
    }
}

std::int32_t ClampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The number of a line read in its command's layout, through the text the
// editor shows; nothing when a digit byte is not a digit (the text then has
// other characters or another length).
std::optional<std::int32_t> NumberOf(const ProgramLine& line, OperandLayout layout) {
    const std::string text = NumberText(line, layout);
    const bool sign = layout != OperandLayout::Digits5;
    const std::size_t digits = layout == OperandLayout::SignedDigits7 ? 7 : 5;
    if (text.size() != digits + (sign ? 1 : 0)) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (std::size_t i = sign ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return sign && text[0] == '-' ? -value : value;
}

} // namespace

struct ControllerEmulator::State {
    // What a waiting program line waits for.
    enum class Wait { None, Time, Input, Motion, Rest };
    // What executing one line lets the program do next.
    enum class Flow { Continue, Wait, Ended };

    explicit State(std::size_t replyLength) : replyLength(std::max(replyLength, MinReplyLength)) {
        axis.SetLimits(vmax, amax);
    }

    std::size_t replyLength;
    std::int64_t now = 0;
    ProgramSet programs;
    EmulatedAxis axis;
    bool enabled = false;
    bool muted = false; // requests are neither acted on nor answered

    // Parameters as last written.
    std::int32_t vmin = 100;
    std::int32_t vmax = 1000;
    std::int32_t amax = 500;
    std::int32_t homeVelocity = -200;
    std::uint8_t homeContact = 0; // 0 = NO, 1 = NC
    std::int32_t vdst = 0;
    std::int32_t xdst = 0;
    std::int32_t xdef = 1000;
    std::int32_t vdef = 100;
    std::int32_t wdef = 500;
    std::uint8_t modbusAddress = 1;
    std::int32_t modbusBaud = 19200;
    std::int32_t inputFilter = 0;
    std::array<bool, 2> inputs{};
    std::array<bool, 2> outputs{};

    // The running program.
    bool running = false;
    int program = 0;
    int line = 0;
    std::int64_t counter = 0;
    Wait wait = Wait::None;
    std::int64_t waitUntil = 0;
    int waitIo = 0;
    bool waitState = false;
    std::uint64_t waitSerial = 0;
    EmulatedAxis::Outcome waitOutcome = EmulatedAxis::Outcome::None;
    std::vector<Fault> faults;
    LineObserver lineObserver;

    struct DecodedNumber {
        ProgramLine bytes{};
        std::optional<std::int32_t> number;
        bool filled = false;
    };
    std::array<DecodedNumber, ProgramSetBytes / 8> decoded{};

    // Time ------------------------------------------------------------------

    // Where AdvanceTo stops early (AdvanceWithin).
    struct Band {
        std::int64_t low = 0;
        std::int64_t high = 0;
        std::int64_t maxSpeed = 0; // 0: any
        bool Outside(const EmulatedAxis& a) const {
            const std::int64_t v = a.Velocity();
            return a.Position() < low || a.Position() > high ||
                   (maxSpeed > 0 && (v > maxSpeed || v < -maxSpeed));
        }
    };

    // True when it stopped early, outside band.
    bool AdvanceTo(std::int64_t t, const Band* band = nullptr) {
        if (band != nullptr && band->Outside(axis)) {
            return true;
        }
        while (now < t) {
            std::int64_t quiet = std::min({t - now, ProgramQuietSteps(), axis.SteadySteps()});
            if (band != nullptr) {
                // (A steady stretch keeps its velocity: only the position
                // can leave the band within it.)
                quiet = std::min(quiet, axis.StepsWithin(band->low, band->high));
            }
            if (quiet > 0) {
                axis.Skip(quiet);
                now += quiet;
                continue;
            }
            RunProgram();
            axis.Step();
            ++now;
            if (band != nullptr && band->Outside(axis)) {
                return true;
            }
        }
        return false;
    }

    // Steps from now in which the program does nothing.
    std::int64_t ProgramQuietSteps() const {
        if (!running) {
            return Forever;
        }
        switch (wait) {
        case Wait::None:
            return 0;
        case Wait::Time:
            return std::max<std::int64_t>(waitUntil - now, 0);
        case Wait::Input:
            return inputs[static_cast<std::size_t>(waitIo)] == waitState ? 0 : Forever;
        case Wait::Motion:
        case Wait::Rest:
            return axis.AtRest() ? 0 : Forever;
        }
        return 0;
    }

    // Motion ----------------------------------------------------------------

    bool CanMove() const { return enabled && vmax > 0 && amax > 0; }

    std::int32_t RelativeTarget(std::int64_t offset) const {
        const std::int64_t base = axis.CurrentMode() == EmulatedAxis::Mode::Position
                                      ? axis.PositionTarget()
                                      : axis.ProfilePosition();
        return ClampToInt32(base + offset);
    }

    std::int32_t RelativeVelocity(std::int64_t offset) const {
        const std::int64_t limit = std::max(vmax, 0);
        const std::int64_t base = axis.CurrentMode() == EmulatedAxis::Mode::Velocity
                                      ? std::clamp(axis.VelocityTarget(), -limit, limit)
                                      : axis.Velocity();
        return static_cast<std::int32_t>(std::clamp(base + offset, -limit, limit));
    }

    void MoveTo(std::int32_t target) {
        xdst = target;
        axis.MoveTo(target);
    }

    void RunAt(std::int32_t velocity) {
        vdst = velocity;
        axis.RunAt(velocity);
    }

    void Disable() {
        enabled = false;
        axis.Brake();
    }

    // Programs --------------------------------------------------------------

    void Start(int p) {
        running = true;
        program = p;
        line = 0;
        wait = Wait::None;
    }

    Flow Fail(FaultCause cause, const std::string& reason) {
        if (faults.size() == MaxKeptFaults) {
            faults.erase(faults.begin());
        }
        faults.push_back(Fault{now, program, line, reason, cause});
        running = false;
        wait = Wait::None;
        return Flow::Ended;
    }

    Flow Next() {
        if (line + 1 >= LinesPerProgram) {
            return Fail(FaultCause::PastLastLine, "ran past the last line");
        }
        ++line;
        return Flow::Continue;
    }

    Flow JumpTo(std::uint8_t target) {
        if (target >= LinesPerProgram) {
            return Fail(FaultCause::BadJump,
                        "jump to line " + std::to_string(target) + ", outside 0..24");
        }
        line = target;
        return Flow::Continue;
    }

    Flow WaitFor(Wait what) {
        wait = what;
        return Flow::Wait;
    }

    Flow WaitForMotion(EmulatedAxis::Outcome outcome) {
        waitSerial = axis.Serial();
        waitOutcome = outcome;
        return WaitFor(Wait::Motion);
    }

    Flow WaitMs(std::int64_t ms) {
        if (ms <= 0) {
            return Next();
        }
        waitUntil = now + ms;
        return WaitFor(Wait::Time);
    }

    // Ends the wait of the current line if it is over: Continue with the next
    // line, Wait, or Ended with a fault.
    Flow CheckWait() {
        switch (wait) {
        case Wait::None:
            return Flow::Continue;
        case Wait::Time:
            if (now < waitUntil) {
                return Flow::Wait;
            }
            break;
        case Wait::Input:
            if (inputs[static_cast<std::size_t>(waitIo)] != waitState) {
                return Flow::Wait;
            }
            break;
        case Wait::Rest:
            if (!axis.AtRest()) {
                return Flow::Wait;
            }
            break;
        case Wait::Motion:
            if (!axis.AtRest()) {
                return Flow::Wait;
            }
            if (axis.Serial() != waitSerial) {
                return Fail(FaultCause::MoveInterrupted,
                            "the move was replaced or stopped from outside");
            }
            if (axis.LastOutcome() == EmulatedAxis::Outcome::Limit) {
                return Fail(FaultCause::TravelLimit,
                            waitOutcome == EmulatedAxis::Outcome::Homed
                                ? "home switch not found before the travel limit"
                                : "the axis reached its travel limit");
            }
            if (axis.LastOutcome() != waitOutcome) {
                return Fail(FaultCause::MoveInterrupted, "the move was interrupted");
            }
            break;
        }
        wait = Wait::None;
        return Next();
    }

    void RunProgram() {
        if (!running) {
            return;
        }
        Flow flow = CheckWait();
        for (int executed = 0; flow == Flow::Continue; ++executed) {
            if (executed == MaxLinesPerStep) {
                Fail(FaultCause::NoWait, "more than " + std::to_string(MaxLinesPerStep) +
                                             " lines in 1 ms without waiting");
                return;
            }
            if (lineObserver) {
                lineObserver(now, program, line);
            }
            flow = Execute(programs.Line(program, line));
        }
    }

    // NumberOf of the running line, remembered with the bytes it was read from
    // (reading the text is the costly part of a line).
    std::optional<std::int32_t> CachedNumberOf(const ProgramLine& bytes, OperandLayout layout) {
        DecodedNumber& entry = decoded[static_cast<std::size_t>(program * LinesPerProgram + line)];
        if (!entry.filled || entry.bytes != bytes) {
            entry = DecodedNumber{bytes, NumberOf(bytes, layout), true};
        }
        return entry.number;
    }

    Flow Execute(const ProgramLine& bytes) {
        const int code = CommandOf(bytes);
        if (code < 0) {
            return Fail(FaultCause::UnknownCommand,
                        "unknown command byte " + std::to_string(bytes[0]));
        }
        const auto command = static_cast<CommandCode>(code);
        std::int32_t number = 0;
        const OperandLayout layout = OperandLayoutOf(code);
        if (layout == OperandLayout::Digits5 || layout == OperandLayout::SignedDigits5 ||
            layout == OperandLayout::SignedDigits7 || layout == OperandLayout::Homing) {
            const std::optional<std::int32_t> value = CachedNumberOf(bytes, layout);
            if (!value) {
                return Fail(FaultCause::BadDigit, "operand digit out of range");
            }
            number = *value;
        }
        const bool jump =
            layout == OperandLayout::LineTarget || layout == OperandLayout::LineIfInput;
        if (jump && bytes[1] >= LinesPerProgram) {
            return JumpTo(bytes[1]); // the fault, whether or not it would jump
        }
        const bool io = layout == OperandLayout::IoState || layout == OperandLayout::LineIfInput;
        const std::uint8_t ioNumber = layout == OperandLayout::IoState ? bytes[1] : bytes[2];
        if (io && ioNumber > 1) {
            return Fail(FaultCause::BadIo,
                        "I/O number " + std::to_string(ioNumber) + ", outside 0..1");
        }
        const bool moves = command == CommandCode::V_DST || command == CommandCode::X_DST ||
                           command == CommandCode::HOME || command == CommandCode::X_DFP ||
                           command == CommandCode::X_DFM || command == CommandCode::V_DFP ||
                           command == CommandCode::V_DFM;
        if (moves && !enabled) {
            return Fail(FaultCause::MoveDisabled, "a move with ENABLE off");
        }
        if (moves && !CanMove()) {
            return Fail(FaultCause::MoveNoLimits, "a move with V max or A max not above 0");
        }

        switch (command) {
        case CommandCode::Empty:
            return Next();
        case CommandCode::V_MAX:
            vmax = number;
            axis.SetLimits(vmax, amax);
            return Next();
        case CommandCode::V_MIN:
            vmin = number;
            return Next();
        case CommandCode::A_MAX:
            amax = number;
            axis.SetLimits(vmax, amax);
            return Next();
        case CommandCode::M_EN:
            enabled = true;
            return Next();
        case CommandCode::M_DIS:
            Disable();
            return Next();
        case CommandCode::V_DST:
            RunAt(number);
            return Next();
        case CommandCode::X_DST:
            MoveTo(number);
            return WaitForMotion(EmulatedAxis::Outcome::Reached);
        case CommandCode::HOME:
            if (number == 0) {
                return Fail(FaultCause::HomingVelocityZero, "homing velocity 0");
            }
            homeVelocity = number;
            homeContact = bytes[7] != 0 ? 1 : 0;
            axis.Home(homeVelocity, homeContact != 0);
            return WaitForMotion(EmulatedAxis::Outcome::Homed);
        case CommandCode::BRAKE:
            axis.Brake();
            return Next();
        case CommandCode::STOP:
            axis.Stop();
            return axis.AtRest() ? Next() : WaitFor(Wait::Rest);
        case CommandCode::CLR_P:
            axis.ClearPosition();
            return Next();
        case CommandCode::S_CNT:
            counter = number;
            return Next();
        case CommandCode::S_OUT:
            outputs[bytes[1]] = bytes[2] != 0;
            return Next();
        case CommandCode::J_LIN:
            return JumpTo(bytes[1]);
        case CommandCode::J_CNT:
            --counter;
            return counter > 0 ? JumpTo(bytes[1]) : Next();
        case CommandCode::J_INP:
            return inputs[bytes[2]] == (bytes[3] != 0) ? JumpTo(bytes[1]) : Next();
        case CommandCode::PROG:
            if (!ProgramSet::IsValidProgram(bytes[1])) {
                return Fail(FaultCause::BadProgram,
                            "program " + std::to_string(bytes[1]) + ", outside 0..9");
            }
            program = bytes[1];
            line = 0;
            return Flow::Continue;
        case CommandCode::W_TIM:
            return WaitMs(number);
        case CommandCode::W_INP:
            if (inputs[bytes[1]] == (bytes[2] != 0)) {
                return Next();
            }
            waitIo = bytes[1];
            waitState = bytes[2] != 0;
            return WaitFor(Wait::Input);
        case CommandCode::END:
            running = false;
            return Flow::Ended;
        case CommandCode::X_DFP:
        case CommandCode::X_DFM:
            MoveTo(RelativeTarget(command == CommandCode::X_DFP ? std::int64_t{xdef}
                                                                : -std::int64_t{xdef}));
            return WaitForMotion(EmulatedAxis::Outcome::Reached);
        case CommandCode::V_DFP:
            RunAt(vdef);
            return Next();
        case CommandCode::V_DFM:
            RunAt(ClampToInt32(-std::int64_t{vdef}));
            return Next();
        case CommandCode::W_DEF:
            return WaitMs(wdef);
        }
        return Fail(FaultCause::UnknownCommand, "unknown command byte " + std::to_string(bytes[0]));
    }

    // Requests --------------------------------------------------------------

    Report NewReply(std::uint8_t letter) const {
        Report reply(replyLength, 0);
        reply[0] = 1;
        reply[1] = letter;
        return reply;
    }

    Report ValueReply(std::uint8_t letter, std::int32_t value) const {
        Report reply = NewReply(letter);
        WireInt32::Write(value, reply.data() + 2);
        return reply;
    }

    std::vector<Report> Handle(const std::uint8_t* data, std::size_t size) {
        if (data == nullptr || size < 2) {
            return {};
        }
        const std::uint8_t letterByte = data[1];
        const std::size_t needed = RequestLength(letterByte);
        if (needed == 0 || size < needed) {
            return {};
        }
        const std::int32_t value = needed >= 6 ? WireInt32::Read(data + 2) : 0;
        std::vector<Report> replies;
        Report reply = NewReply(letterByte);

        switch (static_cast<Letter>(letterByte)) {
        case Letter::LineWrite:
        case Letter::LineRead: {
            const int p = data[2];
            const int l = data[3];
            if (!ProgramSet::IsValidLine(p, l)) {
                return {};
            }
            reply[2] = data[2];
            reply[3] = data[3];
            std::uint8_t* stored = programs.LineBytes(p, l);
            if (static_cast<Letter>(letterByte) == Letter::LineWrite) {
                std::copy_n(data + 4, 8, stored);
                replies.push_back(std::move(reply));
                if (l == LinesPerProgram - 1) {
                    replies.push_back(NewReply(LetterByte(Letter::ProgramStored)));
                }
                return replies;
            }
            std::copy_n(stored, 8, reply.begin() + 4);
            break;
        }
        case Letter::ProgramStart:
        case Letter::ProgramHalt:
            if (!ProgramSet::IsValidProgram(data[2])) {
                return {};
            }
            if (static_cast<Letter>(letterByte) == Letter::ProgramStart) {
                Start(data[2]);
            } else {
                running = false;
                wait = Wait::None;
                axis.Stop();
            }
            break;
        case Letter::VminRead:
            reply = ValueReply(letterByte, vmin);
            break;
        case Letter::VmaxRead:
            reply = ValueReply(letterByte, vmax);
            break;
        case Letter::AmaxRead:
            reply = ValueReply(letterByte, amax);
            break;
        case Letter::HomeRead:
            reply = ValueReply(letterByte, homeVelocity);
            reply[6] = homeContact;
            break;
        case Letter::VdstRead:
            reply = ValueReply(letterByte, vdst);
            break;
        case Letter::XdstRead:
            reply = ValueReply(letterByte, xdst);
            break;
        case Letter::VminWrite:
            vmin = value;
            break;
        case Letter::VmaxWrite:
            vmax = value;
            axis.SetLimits(vmax, amax);
            break;
        case Letter::AmaxWrite:
            amax = value;
            axis.SetLimits(vmax, amax);
            break;
        case Letter::HomeStart:
            homeVelocity = value;
            homeContact = data[6];
            if (CanMove() && value != 0) {
                axis.Home(value, homeContact != 0);
            }
            break;
        case Letter::VdstSet:
            vdst = value;
            if (CanMove()) {
                axis.RunAt(value);
            }
            break;
        case Letter::XdstSet:
            xdst = value;
            if (CanMove()) {
                axis.MoveTo(value);
            }
            break;
        case Letter::EnableOn:
            enabled = true;
            break;
        case Letter::EnableOff:
            Disable();
            break;
        case Letter::MotorStop:
            axis.Stop();
            break;
        case Letter::MotorBrake:
            axis.Brake();
            break;
        case Letter::StatusPoll:
            reply = ValueReply(letterByte, axis.Position());
            WireInt32::Write(axis.Velocity(), reply.data() + 6);
            break;
        case Letter::VelocityUp:
        case Letter::VelocityDown:
            if (CanMove()) {
                const bool up = static_cast<Letter>(letterByte) == Letter::VelocityUp;
                RunAt(RelativeVelocity(up ? std::int64_t{value} : -std::int64_t{value}));
            }
            break;
        case Letter::PositionUp:
        case Letter::PositionDown:
            if (CanMove()) {
                const bool up = static_cast<Letter>(letterByte) == Letter::PositionUp;
                MoveTo(RelativeTarget(up ? std::int64_t{value} : -std::int64_t{value}));
            }
            break;
        case Letter::ModbusAddress:
            modbusAddress = data[2];
            break;
        case Letter::ModbusBaud:
            modbusBaud = value;
            break;
        case Letter::InputFilter:
            inputFilter = value;
            break;
        case Letter::XdefRead:
            reply = ValueReply(letterByte, xdef);
            break;
        case Letter::VdefRead:
            reply = ValueReply(letterByte, vdef);
            break;
        case Letter::WdefRead:
            reply = ValueReply(letterByte, wdef);
            break;
        case Letter::XdefWrite:
            xdef = value;
            break;
        case Letter::VdefWrite:
            vdef = value;
            break;
        case Letter::WdefWrite:
            wdef = value;
            break;
        case Letter::ProgramStored:
            return {};
        }
        replies.push_back(std::move(reply));
        return replies;
    }
};

ControllerEmulator::ControllerEmulator(std::size_t replyLength)
    : state_(std::make_unique<State>(replyLength)) {}
ControllerEmulator::~ControllerEmulator() = default;
ControllerEmulator::ControllerEmulator(ControllerEmulator&&) noexcept = default;
ControllerEmulator& ControllerEmulator::operator=(ControllerEmulator&&) noexcept = default;

std::vector<ControllerEmulator::Report>
ControllerEmulator::HandleRequest(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) {
    state_->AdvanceTo(nowMs);
    if (state_->muted) {
        return {};
    }
    return state_->Handle(data, size);
}

void ControllerEmulator::SetImperfection(const EmulatedAxis::Imperfection& imperfection) {
    state_->axis.SetImperfection(imperfection);
}

EmulatedAxis::Imperfection ControllerEmulator::Imperfection() const {
    return state_->axis.CurrentImperfection();
}

void ControllerEmulator::SetMuted(bool muted) {
    state_->muted = muted;
}

bool ControllerEmulator::Muted() const {
    return state_->muted;
}

void ControllerEmulator::AdvanceTo(std::int64_t nowMs) {
    state_->AdvanceTo(nowMs);
}

bool ControllerEmulator::AdvanceWithin(std::int64_t nowMs, std::int64_t low, std::int64_t high,
                                       std::int64_t maxSpeed) {
    const State::Band band{low, high, maxSpeed};
    return state_->AdvanceTo(nowMs, &band);
}

void ControllerEmulator::PlaceAxis(std::int32_t position) {
    state_->axis.PlaceAt(position);
}

std::int64_t ControllerEmulator::Now() const {
    return state_->now;
}

std::int32_t ControllerEmulator::Position() const {
    return state_->axis.Position();
}

std::int32_t ControllerEmulator::Velocity() const {
    return state_->axis.Velocity();
}

bool ControllerEmulator::Enabled() const {
    return state_->enabled;
}

bool ControllerEmulator::Moving() const {
    return !state_->axis.AtRest();
}

void ControllerEmulator::SetInput(int io, bool on) {
    if (io == 0 || io == 1) {
        state_->inputs[static_cast<std::size_t>(io)] = on;
    }
}

bool ControllerEmulator::Input(int io) const {
    return (io == 0 || io == 1) && state_->inputs[static_cast<std::size_t>(io)];
}

bool ControllerEmulator::Output(int io) const {
    return (io == 0 || io == 1) && state_->outputs[static_cast<std::size_t>(io)];
}

const ProgramSet& ControllerEmulator::Programs() const {
    return state_->programs;
}

ProgramSet& ControllerEmulator::Programs() {
    return state_->programs;
}

bool ControllerEmulator::ProgramRunning() const {
    return state_->running;
}

int ControllerEmulator::RunningProgram() const {
    return state_->running ? state_->program : NoIndex;
}

int ControllerEmulator::CurrentLine() const {
    return state_->running ? state_->line : NoIndex;
}

std::vector<ControllerEmulator::Fault> ControllerEmulator::TakeFaults() {
    std::vector<Fault> taken;
    taken.swap(state_->faults);
    return taken;
}

void ControllerEmulator::SetLineObserver(LineObserver observer) {
    state_->lineObserver = std::move(observer);
}
