// A program fault of the emulated controller in the window's language: the
// dry run ("Symulacja", F9) and the demo's emulated controller say its reason
// in the same words as the run report, Polish or English, switched while the
// window is open.

#include <QLabel>

#include "EmulatedFaultView.h"
#include "InEnglish.h"
#include "KxApplication.h"
#include "ShellFixture.h"

namespace {

class FaultLanguage : public ShellFixture {
protected:
    void TearDown() override {
        ShellFixture::TearDown();
        App().LoadTranslations(Language::Polish);
    }
};

TEST_F(FaultLanguage, ReasonIsSaidInTheWindowsLanguage) {
    // P0: a move with the drive disabled, at line 02.
    ProgramSet& programs = window->Programs();
    const auto line = [](CommandCode c) {
        return ProgramLine{static_cast<std::uint8_t>(c), 0, 0, 0, 0, 0, 0, 0};
    };
    programs.SetLine(0, 0, line(CommandCode::W_TIM));
    programs.SetLine(0, 1, line(CommandCode::W_TIM));
    programs.SetLine(0, 2, line(CommandCode::X_DFP));
    programs.SetLine(0, 3, line(CommandCode::END));
    window->RenderProgram();
    ControllerEmulator::Fault fault;
    fault.Program = 4;
    fault.Line = 7;
    fault.Cause = ControllerEmulator::FaultCause::MoveDisabled;
    fault.Reason = "a move with ENABLE off"; // the emulator's own words, not shown

    struct Case {
        Language language;
        const char* simulation; // status bar after F9
        const char* emulator;
    };
    const Case cases[] = {
        {Language::English,
         "Simulation: fault after 0.000 s in line 02 of program P0: a move with the drive "
         "disabled (no M_EN)",
         "Controller (emulator): fault in line 07 of program P4: a move with the drive disabled "
         "(no M_EN)"},
        {Language::Polish,
         "Symulacja: błąd po 0,000 s w linii 02 programu P0: ruch przy wyłączonym napędzie "
         "(brak M_EN)",
         "Sterownik (symulator): błąd w linii 07 programu P4: ruch przy wyłączonym napędzie "
         "(brak M_EN)"},
    };
    for (const Case& c : cases) {
        App().LoadTranslations(c.language);
        window->Symulacja1->trigger();
        EXPECT_EQ(window->StatusPanel(0)->text().toStdString(), c.simulation);
        EXPECT_EQ(EmulatedFaultView::Text(fault).toStdString(), c.emulator);
    }
}

} // namespace
