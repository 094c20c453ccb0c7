#include "LiveChart.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstddef>
#include <qcustomplot.h>
#include <utility>

#include "FileDialogs.h"
#include "KxVersion.h"
#include "MessageBoxes.h"

namespace {

const QColor PositionColour(Qt::blue);
const QColor VelocityColour(0, 128, 0);

// A short line in the series colour (dashed for a prediction), shown beside
// the legend check box.
QIcon LineIcon(const QColor& colour, Qt::PenStyle style) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QPen pen(colour, 2, style);
    if (style != Qt::SolidLine) {
        pen.setDashPattern({2, 1.5});
    }
    painter.setPen(pen);
    painter.drawLine(1, 8, 15, 8);
    return QIcon(pixmap);
}

QCheckBox* MakeLegendBox(const QString& caption, const QColor& colour, const QString& name,
                         QWidget* parent, Qt::PenStyle style = Qt::SolidLine) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setIcon(LineIcon(colour, style));
    box->setChecked(true);
    return box;
}

QString WithSuffix(QString path, const QString& suffix) {
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) {
        path += suffix;
    }
    return path;
}

} // namespace

LiveChart::LiveChart(QWidget* parent, FileDialogs& dialogs, MessageBoxes& boxes, int keptSamples)
    : QWidget(parent), dialogs_(dialogs), boxes_(boxes),
      keptSamples_(std::max<int>(keptSamples, static_cast<int>(ChartWindow) + 1)) {
    setObjectName(QStringLiteral("Chart1"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    plot_ = new QCustomPlot(this);
    plot_->setObjectName(QStringLiteral("Chart1Plot"));
    plot_->legend->setVisible(false); // the check boxes below are the legend

    QCPAxis* bottom = plot_->xAxis;
    bottom->setVisible(false);
    bottom->setRange(0, ChartWindow);
    QCPAxis* left = plot_->yAxis;
    left->setBasePen(Qt::NoPen);
    left->setTickPen(Qt::NoPen);
    left->setSubTickPen(Qt::NoPen);
    left->setRange(-1, 1);
    // Whole positions and velocities as plain numbers, never 1e+07.
    left->setNumberFormat(QStringLiteral("g"));
    left->setNumberPrecision(10);

    series1_ = plot_->addGraph(bottom, left);
    series1_->setName(tr("Pozycja"));
    series1_->setPen(QPen(PositionColour, 1));
    series1_->setLineStyle(QCPGraph::lsLine);
    series1_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    series2_ = plot_->addGraph(bottom, left);
    series2_->setName(tr("Prędkość"));
    series2_->setPen(QPen(VelocityColour, 1));
    series2_->setLineStyle(QCPGraph::lsLine);
    series2_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));

    // The prediction: dashed, on the top axis (seconds from the start).
    QCPAxis* top = plot_->xAxis2;
    top->setVisible(false);
    top->setLabel(tr("Symulacja: czas [s]"));
    top->setNumberFormat(QStringLiteral("g"));
    series3_ = plot_->addGraph(top, left);
    series3_->setName(tr("Symulacja: pozycja"));
    series3_->setPen(QPen(PositionColour, 2, Qt::DashLine));
    series4_ = plot_->addGraph(top, left);
    series4_->setName(tr("Symulacja: prędkość"));
    series4_->setPen(QPen(VelocityColour, 2, Qt::DashLine));

    // The legend below the plot: transparent, no frame, a check box per series.
    legend1_ =
        MakeLegendBox(series1_->name(), PositionColour, QStringLiteral("Series1Visible"), this);
    legend2_ =
        MakeLegendBox(series2_->name(), VelocityColour, QStringLiteral("Series2Visible"), this);
    connect(legend1_, &QCheckBox::toggled, this, [this](bool on) {
        series1_->setVisible(on);
        plot_->replot(QCustomPlot::rpQueuedReplot);
    });
    connect(legend2_, &QCheckBox::toggled, this, [this](bool on) {
        series2_->setVisible(on);
        plot_->replot(QCustomPlot::rpQueuedReplot);
    });

    predictionLegend_ = new QWidget(this);
    predictionLegend_->setObjectName(QStringLiteral("PredictionLegend"));
    legend3_ = MakeLegendBox(series3_->name(), PositionColour, QStringLiteral("Series3Visible"),
                             predictionLegend_, Qt::DashLine);
    legend4_ = MakeLegendBox(series4_->name(), VelocityColour, QStringLiteral("Series4Visible"),
                             predictionLegend_, Qt::DashLine);
    for (auto [box, graph] : {std::pair{legend3_, series3_}, std::pair{legend4_, series4_}}) {
        connect(box, &QCheckBox::toggled, this, [this, graph = graph](bool on) {
            graph->setVisible(on);
            plot_->replot(QCustomPlot::rpQueuedReplot);
        });
    }
    auto* predictionRow = new QHBoxLayout(predictionLegend_);
    predictionRow->setContentsMargins(0, 0, 0, 0);
    predictionRow->setSpacing(16);
    predictionRow->addStretch(1);
    predictionRow->addWidget(legend3_);
    predictionRow->addWidget(legend4_);
    predictionRow->addStretch(1);
    predictionLegend_->hide();

    auto* legendRow = new QHBoxLayout;
    legendRow->setContentsMargins(0, 0, 0, 0);
    legendRow->setSpacing(16);
    legendRow->addStretch(1);
    legendRow->addWidget(legend1_);
    legendRow->addWidget(legend2_);
    legendRow->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 12);
    column->setSpacing(2);
    column->addWidget(plot_, 1);
    column->addWidget(predictionLegend_);
    column->addLayout(legendRow);

    connect(plot_, &QCustomPlot::beforeReplot, this, &LiveChart::RescaleValueAxis);
    runReplot_ = new QTimer(this);
    runReplot_->setSingleShot(true);
    runReplot_->setInterval(RunReplotMs);
    connect(runReplot_, &QTimer::timeout, this, [this] { plot_->replot(); });

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("Chart1Menu"));
    QAction* image = menu_->addAction(tr("Zapisz wykres jako obraz…"));
    image->setObjectName(QStringLiteral("SaveChartImage"));
    connect(image, &QAction::triggered, this, &LiveChart::SaveImage);
    QAction* csv = menu_->addAction(tr("Eksportuj dane do CSV…"));
    csv->setObjectName(QStringLiteral("ExportChartCsv"));
    connect(csv, &QAction::triggered, this, &LiveChart::ExportCsv);
    clearPrediction_ = menu_->addAction(tr("Usuń symulację z wykresu"));
    clearPrediction_->setObjectName(QStringLiteral("ClearPrediction"));
    clearPrediction_->setEnabled(false);
    connect(clearPrediction_, &QAction::triggered, this, &LiveChart::ClearPrediction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    plot_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto showMenu = [this](QWidget* from, const QPoint& pos) {
        menu_->popup(from->mapToGlobal(pos));
    };
    connect(this, &QWidget::customContextMenuRequested, this,
            [this, showMenu](const QPoint& pos) { showMenu(this, pos); });
    connect(plot_, &QWidget::customContextMenuRequested, this,
            [this, showMenu](const QPoint& pos) { showMenu(plot_, pos); });
}

void LiveChart::AddSample(std::int32_t position, std::int32_t velocity) {
    if (runView_) {
        return;
    }
    const double x = sampleCounter_;
    series1_->addData(x, position);
    series2_->addData(x, velocity);
    // The oldest samples beyond the kept history go; this costs the same
    // however long the chart has run.
    const double firstKept = x - (keptSamples_ - 1);
    if (firstKept > 0) {
        series1_->data()->removeBefore(firstKept);
        series2_->data()->removeBefore(firstKept);
    }
    if (sampleCounter_ > ChartWindow) {
        plot_->xAxis->setRange(sampleCounter_ - ChartWindow, sampleCounter_);
    }
    sampleCounter_ += 1;
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void LiveChart::ShowPrediction(const QVector<double>& seconds, const QVector<double>& positions,
                               const QVector<double>& velocities) {
    series3_->setData(seconds, positions, true);
    series4_->setData(seconds, velocities, true);
    const bool shown = !seconds.isEmpty();
    if (runView_) {
        predictionLegend_->setVisible(shown);
        clearPrediction_->setEnabled(shown);
        plot_->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    if (shown) {
        // The 501 visible samples take 12.5 s at 40 Hz.
        plot_->xAxis2->setRange(0, std::max(seconds.back(), ChartWindow * 0.025));
    }
    plot_->xAxis2->setVisible(shown);
    predictionLegend_->setVisible(shown);
    clearPrediction_->setEnabled(shown);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void LiveChart::ClearPrediction() {
    ShowPrediction({}, {}, {});
}

bool LiveChart::HasPrediction() const {
    return !series3_->data()->isEmpty();
}

void LiveChart::BeginRunView(double expectedEndS) {
    if (!runView_) {
        liveData1_ = series1_->data();
        liveData2_ = series2_->data();
        liveLower_ = plot_->xAxis->range().lower;
        liveUpper_ = plot_->xAxis->range().upper;
        runView_ = true;
    }
    series1_->setData(QSharedPointer<QCPGraphDataContainer>::create());
    series2_->setData(QSharedPointer<QCPGraphDataContainer>::create());
    QCPAxis* time = plot_->xAxis;
    time->setVisible(true);
    time->setLabel(tr("czas [s]"));
    time->setNumberFormat(QStringLiteral("g"));
    const double end = std::max(expectedEndS, 0.5);
    time->setRange(-0.02 * end, 1.05 * end);
    series3_->setKeyAxis(time);
    series4_->setKeyAxis(time);
    plot_->xAxis2->setVisible(false);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void LiveChart::AddRunSample(double seconds, std::int32_t position, std::int32_t velocity) {
    if (!runView_) {
        return;
    }
    series1_->addData(seconds, position);
    series2_->addData(seconds, velocity);
    QCPAxis* time = plot_->xAxis;
    if (seconds > time->range().upper) {
        time->setRange(time->range().lower, seconds + 0.05 * (seconds - time->range().lower));
    }
    if (!runReplot_->isActive()) {
        runReplot_->start();
    }
}

void LiveChart::EndRunView() {
    if (!runView_) {
        return;
    }
    runView_ = false;
    series1_->setData(liveData1_);
    series2_->setData(liveData2_);
    liveData1_.reset();
    liveData2_.reset();
    QCPAxis* bottom = plot_->xAxis;
    bottom->setVisible(false);
    bottom->setRange(liveLower_, liveUpper_);
    series3_->setKeyAxis(plot_->xAxis2);
    series4_->setKeyAxis(plot_->xAxis2);
    // The prediction back on the top axis, as "Symulacja" shows it.
    QVector<double> seconds;
    QVector<double> positions;
    QVector<double> velocities;
    for (auto it = series3_->data()->constBegin(); it != series3_->data()->constEnd(); ++it) {
        seconds << it->key;
        positions << it->value;
    }
    for (auto it = series4_->data()->constBegin(); it != series4_->data()->constEnd(); ++it) {
        velocities << it->value;
    }
    ShowPrediction(seconds, positions, velocities);
}

int LiveChart::KeptCount() const {
    return series1_->dataCount();
}

void LiveChart::RescaleValueAxis() {
    bool any = false;
    QCPRange values;
    for (QCPGraph* series : {series1_, series2_, series3_, series4_}) {
        if (!series->visible()) {
            continue;
        }
        bool found = false;
        const QCPRange r = series->getValueRange(found, QCP::sdBoth, series->keyAxis()->range());
        if (!found) {
            continue;
        }
        if (any) {
            values.expand(r);
        } else {
            values = r;
            any = true;
        }
    }
    if (!any) {
        return; // nothing shown: the axis keeps its range
    }
    double margin = values.size() * 0.05;
    if (margin == 0) {
        margin = 1; // a flat curve sits in the middle
    }
    plot_->yAxis->setRange(values.lower - margin, values.upper + margin);
}

void LiveChart::SaveImage() {
    const QString title = tr("Zapisz wykres jako obraz");
    QString path = dialogs_.GetSaveFileName(title, QString(), tr("Obraz PNG (*.png)"));
    if (path.isEmpty()) {
        return;
    }
    path = WithSuffix(path, QStringLiteral(".png"));
    plot_->replot(); // the picture shows what the last sample changed
    const QPixmap picture = grab();
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit();
    if (!ok) {
        ShowWriteFailure(title, path);
    }
}

void LiveChart::ExportCsv() {
    const QString title = tr("Eksportuj dane do CSV");
    QString path = dialogs_.GetSaveFileName(title, QString(), tr("Plik CSV (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    path = WithSuffix(path, QStringLiteral(".csv"));
    QByteArray text("sample,position,velocity\n");
    const auto& positions = *series1_->data();
    const auto& velocities = *series2_->data();
    const int count = std::min(positions.size(), velocities.size());
    text.reserve(text.size() + count * 28);
    auto p = positions.constBegin();
    auto v = velocities.constBegin();
    for (int i = 0; i < count; ++i, ++p, ++v) {
        text += QByteArray::number(static_cast<qint64>(p->key));
        text += ',';
        text += QByteArray::number(static_cast<qint64>(p->value));
        text += ',';
        text += QByteArray::number(static_cast<qint64>(v->value));
        text += '\n';
    }
    QSaveFile file(path);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
    if (!ok) {
        ShowWriteFailure(title, path);
    }
}

void LiveChart::ShowWriteFailure(const QString& title, const QString& path) {
    boxes_.Show(QMessageBox::Warning, title, tr("Nie udało się zapisać pliku %1.").arg(path),
                QMessageBox::Ok);
}

// The entry points of the chart library (see LiveChartModule).
extern "C" {
Q_DECL_EXPORT const char* kxrd4_chart_version() {
    return KxVersion;
}
Q_DECL_EXPORT std::size_t kxrd4_chart_size() {
    return sizeof(LiveChart);
}
Q_DECL_EXPORT LiveChart* kxrd4_chart_create(QWidget* parent, FileDialogs* dialogs,
                                            MessageBoxes* boxes) {
    return new LiveChart(parent, *dialogs, *boxes);
}
}
