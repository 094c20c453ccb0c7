#include "RunReport.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>
#include <memory>

#include "FaultCauseText.h"
#include "ProgramLine.h"
#include "RecordingCsv.h"
#include "RunChartPainter.h"
#include "RunReportText.h"

namespace {

constexpr int Dpi = 300;

bool Save(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Text flowing down the page, a new page when it is full.
class Flow {
public:
    Flow(QPainter& painter, QPdfWriter& writer) : p_(painter), writer_(writer) {
        width_ = writer.width();
        height_ = writer.height();
    }
    double Width() const { return width_; }
    double Y() const { return y_; }
    double Left() const { return height_ - y_; }
    void Skip(double pixels) { y_ += pixels; }
    void NewPage() {
        writer_.newPage();
        y_ = 0;
    }
    void Line(const QString& text, double points = 9, bool bold = false,
              const QColor& colour = Qt::black, bool mono = false) {
        QFont font(mono ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
        font.setPixelSize(static_cast<int>(std::lround(points * Dpi / 72.0)));
        font.setBold(bold);
        p_.setFont(font);
        const QFontMetricsF metrics(font);
        const QRectF bounds =
            metrics.boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, text);
        if (y_ + bounds.height() > height_) {
            NewPage();
        }
        p_.setPen(colour);
        p_.drawText(QRectF(0, y_, width_, bounds.height()), Qt::TextWordWrap, text);
        y_ += bounds.height() + metrics.height() * 0.15;
    }

private:
    QPainter& p_;
    QPdfWriter& writer_;
    double width_ = 0;
    double height_ = 0;
    double y_ = 0;
};

QString ParameterText(const ControllerBackup* parameters) {
    if (parameters == nullptr || parameters->parameters.empty()) {
        return RunReport::tr("wartości po włączeniu zasilania");
    }
    QStringList items;
    for (const auto& key : ControllerBackup::Keys()) {
        const auto found = parameters->parameters.find(key.name);
        if (found != parameters->parameters.end()) {
            items << QStringLiteral("%1 = %2").arg(
                QString::fromUtf8(key.name.data(), static_cast<qsizetype>(key.name.size())),
                QString::fromStdString(ControllerBackup::ValueText(key, found->second)));
        }
    }
    return items.join(QStringLiteral(", "));
}

} // namespace

void RunReport::EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "kxrd4-report";
    static char* argv[] = {name, nullptr};
    // Quietly: the platform's notes (no runtime folder, and the like) are
    // nothing a command-line user asked about.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Gone with the process's statics, its font caches with it.
    static const std::unique_ptr<QGuiApplication> app =
        std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
}

QString RunReport::CompanionPath(const QString& pdfPath, const QString& suffix) {
    QString base = pdfPath;
    if (base.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    return base + suffix;
}

QImage RunReport::ChartImage(const RunReportContent& content, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (content.recording != nullptr && content.comparison != nullptr) {
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        painter.setFont(font);
        RunChartPainter::Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)), *content.recording,
                               *content.comparison, size.height() / 45.0);
    }
    return image;
}

bool RunReport::Write(const QString& pdfPath, const RunReportContent& content, QString& error) {
    EnsureApplication();
    if (content.recording == nullptr || content.comparison == nullptr ||
        content.programs == nullptr) {
        error = tr("Brak nagrania do raportu");
        return false;
    }
    const MotionRecording& rec = *content.recording;
    const RunComparison::Result& c = *content.comparison;

    const QString csvPath = CompanionPath(pdfPath, QStringLiteral(".csv"));
    const std::string csv = RecordingCsv::Text(rec, &c);
    if (!Save(csvPath, QByteArray::fromStdString(csv))) {
        error = tr("Nie udało się zapisać pliku %1.").arg(csvPath);
        return false;
    }
    const QString pngPath = CompanionPath(pdfPath, QStringLiteral(".png"));
    {
        QSaveFile file(pngPath);
        if (!file.open(QIODevice::WriteOnly) || !ChartImage(content).save(&file, "PNG") ||
            !file.commit()) {
            error = tr("Nie udało się zapisać pliku %1.").arg(pngPath);
            return false;
        }
    }

    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) {
        error = tr("Nie udało się zapisać pliku %1.").arg(pdfPath);
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(Dpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(tr("Raport z uruchomienia programu P%1").arg(content.program));
        writer.setCreator(QStringLiteral("kxrd4-pc ") +
                          QString::fromStdString(content.toolVersion));
        QPainter painter(&writer);
        Flow flow(painter, writer);

        flow.Line(tr("Raport z uruchomienia programu P%1").arg(content.program), 15, true);
        flow.Skip(Dpi * 0.05);
        flow.Line(
            tr("Data: %1")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        flow.Line(tr("Narzędzie: kxrd4-pc %1").arg(QString::fromStdString(content.toolVersion)));
        flow.Line(
            tr("Sterownik: KX-RD4, numer seryjny %1, port %2%3")
                .arg(content.serial.empty() ? tr("brak") : QString::fromStdString(content.serial),
                     content.port.empty() ? tr("nieznany") : QString::fromStdString(content.port),
                     content.emulated ? tr(" (symulator)") : QString()));
        if (!content.path.empty()) {
            flow.Line(tr("Urządzenie: %1").arg(QString::fromStdString(content.path)));
        }
        flow.Line(tr("Parametry przed uruchomieniem: %1").arg(ParameterText(content.parameters)));
        flow.Skip(Dpi * 0.08);
        const bool within = c.Within(content.tolerance);
        flow.Line(tr("Wynik: przebieg %1 (tolerancja %2 kroków)")
                      .arg(RunReportText::Verdict(within))
                      .arg(content.tolerance),
                  11, true, within ? QColor(0, 110, 0) : QColor(190, 0, 0));
        flow.Line(tr("Czas cyklu: zmierzony %1, przewidziany %2")
                      .arg(c.measuredCycleS ? RunReportText::Seconds(*c.measuredCycleS)
                                            : QStringLiteral("—"),
                           c.predictedCycleS ? RunReportText::Seconds(*c.predictedCycleS)
                                             : tr("brak końca")),
                  11, true);
        flow.Skip(Dpi * 0.1);
        const double chartHeight = std::min(flow.Left(), flow.Width() * 0.85);
        RunChartPainter::Paint(painter, QRectF(0, flow.Y(), flow.Width(), chartHeight), rec, c,
                               8.0 * Dpi / 72.0);

        flow.NewPage();
        flow.Line(tr("Porównanie z symulacją"), 12, true);
        for (const QString& line : RunReportText::Lines(c, rec, content.tolerance)) {
            flow.Line(line);
        }
        for (const auto& f : c.prediction.run.faults) {
            flow.Line(tr("Błąd w symulacji: %1, %2: %3")
                          .arg(RunReportText::Seconds(f.TimeMs / 1000.0),
                               RunReportText::LineName(f.Program, f.Line),
                               FaultCauseText::Of(f.Cause)));
        }
        flow.Skip(Dpi * 0.1);
        flow.Line(tr("Program P%1").arg(content.program), 12, true);
        int last = 0;
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (CommandOf(content.programs->Line(content.program, l)) != 0) {
                last = l;
            }
        }
        for (int l = 0; l <= last; ++l) {
            QString text =
                QString::fromStdString(RenderLine(l, content.programs->Line(content.program, l)));
            for (const auto& finding : content.findings) {
                if (finding.program == content.program && finding.line == l) {
                    text += QStringLiteral("   ← ") + RunReportText::FindingText(finding);
                }
            }
            flow.Line(text, 8.5, false, Qt::black, true);
        }
        for (const auto& finding : content.findings) {
            if (finding.program != content.program) {
                flow.Line(QStringLiteral("%1: %2").arg(
                              RunReportText::LineName(finding.program, finding.line),
                              RunReportText::FindingText(finding)),
                          8.5);
            }
        }
        if (content.findings.empty()) {
            flow.Line(tr("Sprawdzenie programu: bez uwag"), 8.5);
        }
        flow.Skip(Dpi * 0.1);
        flow.Line(
            tr("Próbki: %1, wykres: %2")
                .arg(csvPath.section(QLatin1Char('/'), -1), pngPath.section(QLatin1Char('/'), -1)),
            8.5);
    }
    if (!file.commit()) {
        error = tr("Nie udało się zapisać pliku %1.").arg(pdfPath);
        return false;
    }
    return true;
}
