#include "RunReportText.h"

#include <QLocale>
#include <cmath>

namespace {

QLocale Numbers() {
    return QLocale(RunReportText::English() ? QLocale::English : QLocale::Polish);
}

} // namespace

bool RunReportText::English() {
    // Translated only by the English translation.
    return tr("pl", "the language of the report's texts") == QLatin1String("en");
}

QString RunReportText::FindingText(const ProgramCheck::Finding& finding) {
    return QString::fromStdString(English() ? finding.english : finding.polish);
}

QString RunReportText::Seconds(double s) {
    return Numbers().toString(s, 'f', 3) + QStringLiteral(" s");
}

QString RunReportText::LineName(int program, int line) {
    return tr("P%1 linia %2").arg(program).arg(line, 2, 10, QLatin1Char('0'));
}

QString RunReportText::Verdict(bool within) {
    return within ? tr("zgodny z symulacją") : tr("NIEZGODNY z symulacją");
}

QString RunReportText::Summary(const RunComparison::Result& c, const MotionRecording& rec,
                               double tolerance) {
    QString text = tr("Pomiar: cykl %1, przewidziany %2; największa odchyłka %3 kroków")
                       .arg(c.measuredCycleS ? Seconds(*c.measuredCycleS) : QStringLiteral("—"),
                            c.predictedCycleS ? Seconds(*c.predictedCycleS) : tr("brak końca"))
                       .arg(std::lround(c.maxDeviation));
    text += QStringLiteral(" — ") + Verdict(c.Within(tolerance));
    if (rec.end == MotionRecording::End::NoAnswer) {
        text += tr(" (sterownik przestał odpowiadać)");
    }
    return text;
}

QStringList RunReportText::Lines(const RunComparison::Result& c, const MotionRecording& rec,
                                 double tolerance) {
    QStringList lines;
    const QLocale numbers = Numbers();
    static const char* const Ends[] = {QT_TRANSLATE_NOOP("RunReportText", "trwa"),
                                       QT_TRANSLATE_NOOP("RunReportText", "koniec programu"),
                                       QT_TRANSLATE_NOOP("RunReportText", "zatrzymane"),
                                       QT_TRANSLATE_NOOP("RunReportText", "limit czasu"),
                                       QT_TRANSLATE_NOOP("RunReportText", "brak odpowiedzi")};
    lines << tr("Nagranie: %1 próbek, %2 próbek/s, najdłuższa przerwa %3 ms; "
                "zakończenie: %4")
                 .arg(rec.samples.size())
                 .arg(numbers.toString(rec.Rate(), 'f', 0))
                 .arg(numbers.toString(rec.LongestGapS() * 1000, 'f', 1))
                 .arg(tr(Ends[static_cast<int>(rec.end)]));
    if (c.alignedAtMotion) {
        lines << tr("Początek przebiegu ustalony na pierwszym ruchu osi");
    }
    if (c.prediction.enableAssumed) {
        lines << tr("Symulacja z włączonym napędem (program nie włącza ENABLE, a "
                    "sterownik nie podaje jego stanu)");
    }
    lines << tr("Czas cyklu: zmierzony %1, przewidziany %2")
                 .arg(c.measuredCycleS ? Seconds(*c.measuredCycleS) : QStringLiteral("—"),
                      c.predictedCycleS ? Seconds(*c.predictedCycleS) : tr("brak końca"));
    for (const auto& a : c.arrivals) {
        lines << tr("Dojazd %1: przewidziany %2 (pozycja %3), zmierzony %4%5")
                     .arg(LineName(a.program, a.line), Seconds(a.predictedS))
                     .arg(a.predictedPosition)
                     .arg(a.measuredS
                              ? Seconds(*a.measuredS) + tr(" (pozycja %1)").arg(a.measuredPosition)
                              : tr("— nie zaobserwowano"))
                     .arg(a.measuredS && !a.OnTime() ? tr(" — SPÓŹNIONY") : QString());
    }
    lines << tr("Największa odchyłka pozycji: %1 kroków%2")
                 .arg(std::lround(c.maxDeviation))
                 .arg(c.maxDeviation > 0
                          ? tr(" w %1 (%2)")
                                .arg(Seconds(c.maxDeviationS),
                                     c.deviationLine >= 0
                                         ? LineName(c.deviationProgram, c.deviationLine)
                                         : tr("przed pierwszą linią"))
                          : QString());
    lines << tr("Prędkość szczytowa: zmierzona %1 w %2, przewidziana %3 w %4")
                 .arg(c.measuredPeak)
                 .arg(Seconds(c.measuredPeakS))
                 .arg(c.predictedPeak)
                 .arg(Seconds(c.predictedPeakS));
    lines << tr("Przebieg %1 (tolerancja %2 kroków)")
                 .arg(Verdict(c.Within(tolerance)))
                 .arg(tolerance);
    return lines;
}
