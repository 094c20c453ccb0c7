#include "ProgramSimulation.h"

#include <QVector>

#include "FaultCauseText.h"
#include "LiveChart.h"
#include "UiLanguage.h"

namespace {

// "4,250": seconds with three decimals and the Polish decimal comma ("4.250"
// in English).
QString Seconds(std::int64_t ms) {
    QString text = QString::number(static_cast<double>(ms) / 1000.0, 'f', 3);
    if (UiLanguage::Current() == Language::Polish)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString LineNumber(int line) {
    return QStringLiteral("%1").arg(line, 2, 10, QLatin1Char('0'));
}

} // namespace

QString ProgramSimulation::FaultText(const ControllerEmulator::Fault& fault) {
    return tr("Symulacja: błąd po %1 s w linii %2 programu P%3: %4")
        .arg(Seconds(fault.TimeMs), LineNumber(fault.Line), QString::number(fault.Program),
             FaultCauseText::Of(fault.Cause));
}

QString ProgramSimulation::Summary(const ProgramDryRun::Result& r, int program,
                                   std::int64_t limitMs) {
    if (!r.faults.empty()) {
        return FaultText(r.faults.front());
    }
    if (r.ended) {
        return tr("Symulacja: program P%1 kończy się po %2 s").arg(program).arg(Seconds(r.endMs));
    }
    QString where = tr("w linii %1").arg(LineNumber(r.line));
    if (r.program != program) {
        where += tr(" programu P%1").arg(r.program);
    }
    QString what;
    switch (r.waiting) {
    case ProgramDryRun::Waiting::Input:
        what = tr("czeka %1 na %2 wejścia %3")
                   .arg(where, r.waitState ? tr("załączenie") : tr("wyłączenie"))
                   .arg(r.waitInput);
        break;
    case ProgramDryRun::Waiting::Axis:
        what = tr("czeka %1 na zakończenie ruchu osi").arg(where);
        break;
    case ProgramDryRun::Waiting::Time:
        what = tr("odlicza czas %1").arg(where);
        break;
    case ProgramDryRun::Waiting::Running:
    case ProgramDryRun::Waiting::Nothing:
        what = tr("pracuje dalej %1").arg(where);
        break;
    }
    return tr("Symulacja: program P%1 nie kończy się w ciągu %2 s; %3")
        .arg(program)
        .arg(limitMs / 1000)
        .arg(what);
}

ProgramSimulation::Outcome ProgramSimulation::Run(const ProgramSet& programs, int program,
                                                  std::array<bool, 2> inputs, LiveChart* chart) {
    Outcome outcome;
    if (!ProgramSet::IsValidProgram(program)) {
        outcome.status = tr("Symulacja: nie wybrano programu");
        return outcome;
    }
    ProgramDryRun::Options options;
    options.limitMs = LimitMs;
    options.sampleEveryMs = SampleEveryMs;
    for (int io = 0; io < 2; ++io) {
        options.inputs.push_back({0, io, inputs[static_cast<std::size_t>(io)]});
    }
    outcome.result = ProgramDryRun::Run(programs, program, options);

    const auto& samples = outcome.result.samples;
    QVector<double> seconds;
    QVector<double> positions;
    QVector<double> velocities;
    seconds.reserve(static_cast<qsizetype>(samples.size()));
    positions.reserve(static_cast<qsizetype>(samples.size()));
    velocities.reserve(static_cast<qsizetype>(samples.size()));
    for (const auto& s : samples) {
        seconds.push_back(static_cast<double>(s.timeMs) / 1000.0);
        positions.push_back(s.position);
        velocities.push_back(s.velocity);
    }
    if (chart != nullptr)
        chart->ShowPrediction(seconds, positions, velocities);

    for (const auto& fault : outcome.result.faults) {
        outcome.log << FaultText(fault);
    }
    outcome.status = Summary(outcome.result, program, LimitMs);
    if (outcome.result.faults.empty()) {
        outcome.log << outcome.status;
    }
    return outcome;
}
