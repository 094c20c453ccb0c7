#include "LiveChart.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QSaveFile>
#include <QVBoxLayout>
#include <algorithm>
#include <qcustomplot.h>

#include "FileDialogs.h"
#include "MessageBoxes.h"

namespace {

const QColor PositionColour(Qt::blue);
const QColor VelocityColour(0, 128, 0);

// A short line in the series colour, shown beside the legend check box.
QIcon LineIcon(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(colour, 2));
    painter.drawLine(1, 8, 15, 8);
    return QIcon(pixmap);
}

QCheckBox* MakeLegendBox(const QString& caption, const QColor& colour, const QString& name,
                         QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setIcon(LineIcon(colour));
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
    series1_->setName(QStringLiteral("Pozycja"));
    series1_->setPen(QPen(PositionColour, 1));
    series1_->setLineStyle(QCPGraph::lsLine);
    series1_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    series2_ = plot_->addGraph(bottom, left);
    series2_->setName(QStringLiteral("Prędkość"));
    series2_->setPen(QPen(VelocityColour, 1));
    series2_->setLineStyle(QCPGraph::lsLine);
    series2_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));

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
    column->addLayout(legendRow);

    connect(plot_, &QCustomPlot::beforeReplot, this, &LiveChart::RescaleValueAxis);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("Chart1Menu"));
    QAction* image = menu_->addAction(QStringLiteral("Zapisz wykres jako obraz…"));
    image->setObjectName(QStringLiteral("SaveChartImage"));
    connect(image, &QAction::triggered, this, &LiveChart::SaveImage);
    QAction* csv = menu_->addAction(QStringLiteral("Eksportuj dane do CSV…"));
    csv->setObjectName(QStringLiteral("ExportChartCsv"));
    connect(csv, &QAction::triggered, this, &LiveChart::ExportCsv);
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

int LiveChart::KeptCount() const {
    return series1_->dataCount();
}

void LiveChart::RescaleValueAxis() {
    const QCPRange visible = plot_->xAxis->range();
    bool any = false;
    QCPRange values;
    for (QCPGraph* series : {series1_, series2_}) {
        if (!series->visible()) {
            continue;
        }
        bool found = false;
        const QCPRange r = series->getValueRange(found, QCP::sdBoth, visible);
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
    const QString title = QStringLiteral("Zapisz wykres jako obraz");
    QString path = dialogs_.GetSaveFileName(title, QString(), QStringLiteral("Obraz PNG (*.png)"));
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
    const QString title = QStringLiteral("Eksportuj dane do CSV");
    QString path = dialogs_.GetSaveFileName(title, QString(), QStringLiteral("Plik CSV (*.csv)"));
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
    boxes_.Show(QMessageBox::Warning, title,
                QStringLiteral("Nie udało się zapisać pliku %1.").arg(path), QMessageBox::Ok);
}
