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
// start on the top axis, with their own legend row; the top axis spans at
// least the time the 501 visible samples take at 40 Hz, so that the two keep
// about one scale.
//
// A recorded run is shown in the run view: the measured position and velocity
// against the bottom axis in seconds from the program's start (shown, with
// its numbers), the prediction on the same axis; the live history is kept
// aside meanwhile and comes back when the run view ends.
//
// The chart is built in a library of its own, loaded after the window's first
// frame (see LiveChartModule, which creates it). The window calls it only
// through its virtual functions and the inline ones below, so that the program
// itself needs none of the chart's symbols; programs that link the library
// (the tests, the benchmarks) may call every function.

#include <QSharedPointer>
#include <QVector>
#include <QWidget>
#include <cstdint>
#include <qcustomplot.h>

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
    virtual void AddSample(std::int32_t position, std::int32_t velocity);

    // The predicted curves (seconds from the start), replacing any earlier
    // ones; the top axis shows their time. Empty vectors clear them.
    virtual void ShowPrediction(const QVector<double>& seconds, const QVector<double>& positions,
                                const QVector<double>& velocities);
    virtual void ClearPrediction();
    virtual bool HasPrediction() const;

    // The run view (see above); live samples are not drawn while it lasts.
    virtual void BeginRunView(double expectedEndS);
    virtual void AddRunSample(double seconds, std::int32_t position, std::int32_t velocity);
    virtual void EndRunView();
    bool InRunView() const { return runView_; }

    double SampleCounter() const { return sampleCounter_; }
    virtual int KeptCount() const;

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
    bool runView_ = false;
    // The run view redraws at most this often, however fast samples come.
    static constexpr int RunReplotMs = 40;
    class QTimer* runReplot_ = nullptr;
    QSharedPointer<QCPGraphDataContainer> liveData1_;
    QSharedPointer<QCPGraphDataContainer> liveData2_;
    double liveLower_ = 0;
    double liveUpper_ = ChartWindow;
};
