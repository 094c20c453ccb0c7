#include "RunReportText.h"

#include <QLocale>
#include <cmath>

QString RunReportText::Seconds(double s) {
    return QLocale(QLocale::Polish).toString(s, 'f', 3) + QStringLiteral(" s");
}

QString RunReportText::LineName(int program, int line) {
    return QStringLiteral("P%1 linia %2").arg(program).arg(line, 2, 10, QLatin1Char('0'));
}

QString RunReportText::Verdict(bool within) {
    return within ? QStringLiteral("zgodny z symulacją") : QStringLiteral("NIEZGODNY z symulacją");
}

QString RunReportText::Summary(const RunComparison::Result& c, const MotionRecording& rec,
                               double tolerance) {
    QString text =
        QStringLiteral("Pomiar: cykl %1, przewidziany %2; największa odchyłka %3 kroków")
            .arg(c.measuredCycleS ? Seconds(*c.measuredCycleS) : QStringLiteral("—"),
                 c.predictedCycleS ? Seconds(*c.predictedCycleS) : QStringLiteral("brak końca"))
            .arg(std::lround(c.maxDeviation));
    text += QStringLiteral(" — ") + Verdict(c.Within(tolerance));
    if (rec.end == MotionRecording::End::NoAnswer) {
        text += QStringLiteral(" (sterownik przestał odpowiadać)");
    }
    return text;
}

QStringList RunReportText::Lines(const RunComparison::Result& c, const MotionRecording& rec,
                                 double tolerance) {
    QStringList lines;
    const QLocale pl(QLocale::Polish);
    static const char* const Ends[] = {"trwa", "koniec programu", "zatrzymane", "limit czasu",
                                       "brak odpowiedzi"};
    lines << QStringLiteral("Nagranie: %1 próbek, %2 próbek/s, najdłuższa przerwa %3 ms; "
                            "zakończenie: %4")
                 .arg(rec.samples.size())
                 .arg(pl.toString(rec.Rate(), 'f', 0))
                 .arg(pl.toString(rec.LongestGapS() * 1000, 'f', 1))
                 .arg(QString::fromUtf8(Ends[static_cast<int>(rec.end)]));
    if (c.alignedAtMotion) {
        lines << QStringLiteral("Początek przebiegu ustalony na pierwszym ruchu osi");
    }
    if (c.prediction.enableAssumed) {
        lines << QStringLiteral("Symulacja z włączonym napędem (program nie włącza ENABLE, a "
                                "sterownik nie podaje jego stanu)");
    }
    lines << QStringLiteral("Czas cyklu: zmierzony %1, przewidziany %2")
                 .arg(c.measuredCycleS ? Seconds(*c.measuredCycleS) : QStringLiteral("—"),
                      c.predictedCycleS ? Seconds(*c.predictedCycleS)
                                        : QStringLiteral("brak końca"));
    for (const auto& a : c.arrivals) {
        lines << QStringLiteral("Dojazd %1: przewidziany %2 (pozycja %3), zmierzony %4%5")
                     .arg(LineName(a.program, a.line), Seconds(a.predictedS))
                     .arg(a.predictedPosition)
                     .arg(a.measuredS ? Seconds(*a.measuredS) +
                                            QStringLiteral(" (pozycja %1)").arg(a.measuredPosition)
                                      : QStringLiteral("— nie zaobserwowano"))
                     .arg(a.measuredS && !a.OnTime() ? QStringLiteral(" — SPÓŹNIONY") : QString());
    }
    lines << QStringLiteral("Największa odchyłka pozycji: %1 kroków%2")
                 .arg(std::lround(c.maxDeviation))
                 .arg(c.maxDeviation > 0
                          ? QStringLiteral(" w %1 (%2)")
                                .arg(Seconds(c.maxDeviationS),
                                     c.deviationLine >= 0
                                         ? LineName(c.deviationProgram, c.deviationLine)
                                         : QStringLiteral("przed pierwszą linią"))
                          : QString());
    lines << QStringLiteral("Prędkość szczytowa: zmierzona %1 w %2, przewidziana %3 w %4")
                 .arg(c.measuredPeak)
                 .arg(Seconds(c.measuredPeakS))
                 .arg(c.predictedPeak)
                 .arg(Seconds(c.predictedPeakS));
    lines << QStringLiteral("Przebieg %1 (tolerancja %2 kroków)")
                 .arg(Verdict(c.Within(tolerance)))
                 .arg(tolerance);
    return lines;
}
