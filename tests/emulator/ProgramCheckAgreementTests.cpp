// The offline check against the emulator: every fault a program ends with in
// the emulator is one the check reports, as an error at the same program and
// line, before anything runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ControllerEmulator.h"
#include "EmulatorTestKit.h"
#include "ProgramCheck.h"
#include "ProgramListing.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;

// Random lines biased toward jumps, moves and waits, with now and then a byte
// the dialog never writes. Counts stay small as in real programs: a J_CNT
// loop of thousands of passes is one row of the rule table.
class ProgramGenerator {
public:
    explicit ProgramGenerator(unsigned seed) : random_(seed) {}

    ProgramLine NextLine() {
        switch (Pick(24)) {
        case 0:
        case 1:
            return Line(C::M_EN);
        case 2:
            return Line(C::M_DIS);
        case 3:
        case 4:
            return Line(C::X_DST, Between(-3000, 3000));
        case 5:
            return Line(C::V_DST, Between(-2000, 2000));
        case 6: {
            ProgramLine home = Line(C::HOME, Pick(4) == 0 ? 0 : Between(-400, 400));
            home[7] = static_cast<std::uint8_t>(Pick(2));
            return home;
        }
        case 7:
            return Line(Pick(2) == 0 ? C::STOP : C::BRAKE);
        case 8:
        case 9:
            return Operands(C::J_LIN, {Target()});
        case 10:
            return Operands(C::J_CNT, {Target()});
        case 11:
            return Operands(C::J_INP, {Target(), Io(), static_cast<std::uint8_t>(Pick(2))});
        case 12:
        case 13:
            return Line(C::W_TIM, Pick(3) == 0 ? 0 : Between(1, 40));
        case 14:
            return Operands(C::W_INP, {Io(), static_cast<std::uint8_t>(Pick(2))});
        case 15:
            return Line(C::S_CNT, Between(0, 20));
        case 16:
            return Operands(C::S_OUT, {Io(), static_cast<std::uint8_t>(Pick(2))});
        case 17:
        case 18:
            return Line(C::END);
        case 19:
            return Operands(C::PROG, {static_cast<std::uint8_t>(Pick(12) == 0 ? 11 : Pick(4))});
        case 20:
            return Line(Pick(2) == 0 ? C::V_MAX : C::A_MAX, Pick(4) == 0 ? 0 : Between(1, 3000));
        case 21: {
            static constexpr C Defaults[] = {C::X_DFP, C::X_DFM, C::V_DFP, C::V_DFM, C::W_DEF};
            return Line(Defaults[Pick(5)]);
        }
        case 22:
            return Pick(4) == 0
                       ? Raw(static_cast<std::uint8_t>(Pick(2) == 0 ? 42 : 18), {0, 0, 11, 0, 0})
                       : Line(C::Empty);
        default:
            return Line(C::Empty);
        }
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::int32_t Between(std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
    }
    std::uint8_t Target() {
        return static_cast<std::uint8_t>(Pick(20) == 0 ? 25 + Pick(3) : Pick(25));
    }
    std::uint8_t Io() { return static_cast<std::uint8_t>(Pick(20) == 0 ? 2 : Pick(2)); }

    std::mt19937 random_;
};

TEST(ProgramCheckAgreementTest, EveryEmulatorFaultIsAnErrorOfTheCheck) {
    constexpr int Programs = 500;
    constexpr std::int64_t RunMs = 20000;
    ProgramGenerator generator(20261208);
    int runsWithFaults = 0;
    for (int run = 0; run < Programs; ++run) {
        ControllerEmulator emulator;
        ProgramSet& set = emulator.Programs();
        for (int p = 0; p < 3; ++p) {
            for (int l = 0; l < LinesPerProgram; ++l) {
                set.SetLine(p, l, generator.NextLine());
            }
        }
        // Most runs enable the motor first, so the faults further on are met too.
        if (run % 4 != 0) {
            set.SetLine(0, 0, Line(C::M_EN));
        }
        const auto findings = ProgramCheck::CheckProgram(set, 0);
        const Bytes start = Request(MessageLetter::ProgramStart, {0});
        emulator.HandleRequest(start.data(), start.size(), 0);
        emulator.AdvanceTo(RunMs);
        const auto faults = emulator.TakeFaults();
        runsWithFaults += faults.empty() ? 0 : 1;
        for (const auto& fault : faults) {
            const bool reported =
                std::any_of(findings.begin(), findings.end(), [&](const auto& finding) {
                    return finding.grade == ProgramCheck::Grade::Error &&
                           finding.program == fault.Program && finding.line == fault.Line;
                });
            EXPECT_TRUE(reported) << "run " << run << ": P" << fault.Program << " [" << fault.Line
                                  << "] " << fault.Reason << "\n"
                                  << ProgramListing::Write(set, {0, 1, 2}, true);
        }
    }
    // The programs fault often enough for the agreement to mean something.
    EXPECT_GT(runsWithFaults, Programs / 3);
}

} // namespace
