#pragma once
// "Symulacja" (F9): the program shown in the editor, not the one in the
// controller, run dry in the emulated controller from its power-on state with
// the given inputs. The predicted position and velocity go onto the live
// chart as its dashed prediction; the cycle time, or what the program waits
// for at the limit, and its faults come back as Polish texts for the status
// bar and the log.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "ProgramDryRun.h"
#include "ProgramSet.h"

class LiveChart;

class ProgramSimulation {
    Q_DECLARE_TR_FUNCTIONS(ProgramSimulation)

public:
    static constexpr std::int64_t LimitMs = 60'000;
    static constexpr int SampleEveryMs = 10; // for the chart

    struct Outcome {
        QString status;  // one line for the status bar
        QStringList log; // the faults and the summary, for the log
        ProgramDryRun::Result result;
    };

    // Runs program (0..9; any other number only gives a status text) with the
    // inputs in these states from the start, and draws the prediction on the
    // chart (none when the chart library is missing).
    static Outcome Run(const ProgramSet& programs, int program, std::array<bool, 2> inputs,
                       LiveChart* chart);

    // "Symulacja: program P2 kończy się po 4,250 s" and the other summaries.
    static QString Summary(const ProgramDryRun::Result& result, int program, std::int64_t limitMs);
    // "Symulacja: błąd po 0,000 s w linii 03 programu P0: " and the cause
    // (FaultCauseText).
    static QString FaultText(const ControllerEmulator::Fault& fault);
};
