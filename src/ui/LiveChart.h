#pragma once
// The live chart Chart1 of the "Sterowanie" page: position and velocity of the
// motor, one sample per StatusPoll reply. The x value of a sample is the
// SampleCounter, which only grows; the bottom axis shows the range 0..500 until
// more than 500 samples have come, then always the last 501 positions. The
// chart keeps the last KeptSamples samples of each series (for the picture and
// the CSV export) and redraws at most once per pass of the event loop.
//
// Over the live series the chart can show a prediction: the position and
// velocity of a dry run, dashed, against the time in seconds from the program's
// start on the top axis, with their own legend row.

#include <QVector>
#include <QWidget>
#include <cstdint>

class FileDialogs;
class MessageBoxes;
class QAction;
class QCheckBox;
class QCPGraph;
class QCustomPlot;
class QMenu;

class LiveChart : public QWidget {
    Q_OBJECT
public:
    static constexpr double ChartWindow = 500;
    static constexpr int KeptSamples = 100000;

    // Named "Chart1". keptSamples bounds the history of each series (never
    // below the 501 visible positions).
    LiveChart(QWidget* parent, FileDialogs& dialogs, MessageBoxes& boxes,
              int keptSamples = KeptSamples);

    // The chart sample: one point in each series at x = SampleCounter, the
    // bottom axis follows, SampleCounter grows by 1; the redraw is queued.
    void AddSample(std::int32_t position, std::int32_t velocity);

    // The predicted curves (seconds from the start), replacing any earlier
    // ones; the top axis shows their time. Empty vectors clear them.
    void ShowPrediction(const QVector<double>& seconds, const QVector<double>& positions,
                        const QVector<double>& velocities);
    void ClearPrediction();
    bool HasPrediction() const;

    double SampleCounter() const { return sampleCounter_; }
    int KeptCount() const;

    QCustomPlot* Plot() const { return plot_; }
    QCPGraph* Series1() const { return series1_; } // "Pozycja"
    QCPGraph* Series2() const { return series2_; } // "Prędkość"
    QCPGraph* Series3() const { return series3_; } // "Symulacja: pozycja"
    QCPGraph* Series4() const { return series4_; } // "Symulacja: prędkość"
    QCheckBox* Legend1() const { return legend1_; }
    QCheckBox* Legend2() const { return legend2_; }
    QCheckBox* Legend3() const { return legend3_; }
    QCheckBox* Legend4() const { return legend4_; }
    QMenu* ContextMenu() const { return menu_; }

public slots:
    // "Zapisz wykres jako obraz…": the chart with its legend as a PNG file.
    void SaveImage();
    // "Eksportuj dane do CSV…": the kept history, columns sample, position,
    // velocity.
    void ExportCsv();

private:
    // Scales the left axis to the values of the shown series inside the
    // visible x range; runs once per redraw.
    void RescaleValueAxis();
    void ShowWriteFailure(const QString& title, const QString& path);

    FileDialogs& dialogs_;
    MessageBoxes& boxes_;
    QCustomPlot* plot_;
    QCPGraph* series1_;
    QCPGraph* series2_;
    QCPGraph* series3_;
    QCPGraph* series4_;
    QCheckBox* legend1_;
    QCheckBox* legend2_;
    QCheckBox* legend3_;
    QCheckBox* legend4_;
    QWidget* predictionLegend_;
    QAction* clearPrediction_;
    QMenu* menu_;
    const int keptSamples_;
    double sampleCounter_ = 0;
};
