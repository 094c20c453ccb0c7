#pragma once
// The wording of a recorded run set against its prediction, for the window's
// status bar and log and for the report: Polish, or English where the tool's
// English translation is installed (ToolLanguage::Install).

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "MotionRecording.h"
#include "ProgramCheck.h"
#include "RunComparison.h"

class RunReportText {
    Q_DECLARE_TR_FUNCTIONS(RunReportText)

public:
    // The English translation is loaded: English texts, a decimal point.
    static bool English();
    // The check's finding in the report's language (the check words each in
    // both).
    static QString FindingText(const ProgramCheck::Finding& finding);
    // "Pomiar: cykl 6,204 s, przewidziany 6,200 s; największa odchyłka 0
    // kroków — zgodny z symulacją"
    static QString Summary(const RunComparison::Result& result, const MotionRecording& recording,
                           double tolerance);
    // The recording, the cycle times, each arrival, the deviation, the
    // peaks and the verdict, a line each.
    static QStringList Lines(const RunComparison::Result& result, const MotionRecording& recording,
                             double tolerance);
    // "zgodny z symulacją" / "NIEZGODNY z symulacją"
    static QString Verdict(bool within);
    // "1,234 s" ("1.234 s" in English)
    static QString Seconds(double seconds);
    // "P0 linia 03"
    static QString LineName(int program, int line);
};
