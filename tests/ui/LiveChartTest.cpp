#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include "ControlFakes.h"
#include "LiveChart.h"

namespace {

class LiveChartTest : public ::testing::Test {
protected:
    LiveChartTest() : chart_(nullptr, dialogs_, boxes_) { chart_.resize(526, 336); }

    void Add(int n, std::int32_t position = 0, std::int32_t velocity = 0) {
        for (int i = 0; i < n; ++i) {
            chart_.AddSample(position, velocity);
        }
    }
    QCPRange Bottom() const { return chart_.Plot()->xAxis->range(); }

    AnsweringFileDialogs dialogs_;
    CountingMessageBoxes boxes_;
    LiveChart chart_;
};

TEST_F(LiveChartTest, BottomAxisFillsFromTheLeftThenScrolls) {
    EXPECT_EQ(Bottom(), QCPRange(0, 500));
    struct Step {
        int add;
        double counter;
        QCPRange range;
    } steps[] = {
        {1, 1, {0, 500}},   {499, 500, {0, 500}},
        {1, 501, {0, 500}}, {1, 502, {1, 501}}, // the 502nd sample, x = 501, moves the axis first
        {1, 503, {2, 502}}, {997, 1500, {999, 1499}},
    };
    for (const Step& s : steps) {
        Add(s.add);
        EXPECT_EQ(chart_.SampleCounter(), s.counter);
        EXPECT_EQ(Bottom(), s.range) << s.counter;
    }
    EXPECT_FALSE(chart_.Plot()->xAxis->visible());
}

TEST_F(LiveChartTest, EachSampleAddsOnePointToBothSeries) {
    chart_.AddSample(-1000, 1000);
    chart_.AddSample(INT32_MIN, INT32_MAX);
    ASSERT_EQ(chart_.Series1()->dataCount(), 2);
    ASSERT_EQ(chart_.Series2()->dataCount(), 2);
    const auto p = chart_.Series1()->data()->at(1);
    const auto v = chart_.Series2()->data()->at(1);
    EXPECT_EQ(p->key, 1);
    EXPECT_EQ(p->value, INT32_MIN);
    EXPECT_EQ(v->key, 1);
    EXPECT_EQ(v->value, INT32_MAX);
    EXPECT_EQ(chart_.Series1()->data()->at(0)->value, -1000);
    EXPECT_EQ(chart_.Series1()->name(), QStringLiteral("Pozycja"));
    EXPECT_EQ(chart_.Series2()->name(), QStringLiteral("Prędkość"));
    EXPECT_EQ(chart_.Series2()->pen().color(), QColor(0, 128, 0));
    EXPECT_EQ(chart_.Series1()->scatterStyle().shape(), QCPScatterStyle::ssNone);
}

TEST_F(LiveChartTest, HistoryKeepsTheLastSamplesOnly) {
    const int extra = 2500;
    for (int i = 0; i < LiveChart::KeptSamples + extra; ++i) {
        chart_.AddSample(i, -i);
    }
    EXPECT_EQ(chart_.KeptCount(), LiveChart::KeptSamples);
    EXPECT_EQ(chart_.Series2()->dataCount(), LiveChart::KeptSamples);
    EXPECT_EQ(chart_.Series1()->data()->constBegin()->key, extra);
    EXPECT_EQ(chart_.Series2()->data()->constBegin()->value, -extra);
    const double last = LiveChart::KeptSamples + extra - 1;
    EXPECT_EQ(Bottom(), QCPRange(last - 500, last));
}

TEST_F(LiveChartTest, BurstOfSamplesRedrawsOnce) {
    int replots = 0;
    QObject::connect(chart_.Plot(), &QCustomPlot::afterReplot, [&replots] { ++replots; });
    QCoreApplication::processEvents();
    replots = 0;
    Add(50, 10, 20);
    EXPECT_EQ(replots, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(replots, 1);
}

TEST_F(LiveChartTest, LeftAxisScalesToTheShownSeriesInTheVisibleWindow) {
    chart_.AddSample(1000000, 0); // scrolls out of view below
    for (int i = 0; i < 600; ++i) {
        chart_.AddSample(100 + i % 7, -50);
    }
    chart_.Plot()->replot();
    QCPRange y = chart_.Plot()->yAxis->range();
    EXPECT_LE(y.lower, -50);
    EXPECT_GE(y.upper, 106);
    EXPECT_LT(y.upper, 1000);

    chart_.Legend2()->setChecked(false); // velocity hidden: only position counts
    EXPECT_FALSE(chart_.Series2()->visible());
    chart_.Plot()->replot();
    y = chart_.Plot()->yAxis->range();
    EXPECT_GT(y.lower, -50);
    EXPECT_LE(y.lower, 100);
    chart_.Legend2()->setChecked(true);
    EXPECT_TRUE(chart_.Series2()->visible());
    EXPECT_EQ(chart_.Plot()->yAxis->basePen().style(), Qt::NoPen);
}

TEST_F(LiveChartTest, ContextMenuOffersPictureCsvAndRemovingThePrediction) {
    const QList<QAction*> actions = chart_.ContextMenu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Zapisz wykres jako obraz…"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("Eksportuj dane do CSV…"));
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Usuń symulację z wykresu"));
    EXPECT_EQ(chart_.Legend1()->text(), QStringLiteral("Pozycja"));
    EXPECT_EQ(chart_.Legend2()->text(), QStringLiteral("Prędkość"));

    // A prediction: its own legend row and top axis, taken into the value
    // range; removed from the menu, all of it goes.
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_FALSE(chart_.Legend3()->isVisibleTo(&chart_));
    chart_.AddSample(10, 20);
    chart_.ShowPrediction({0, 1, 2}, {0, 500, 4000}, {0, -300, 0});
    EXPECT_TRUE(chart_.HasPrediction());
    EXPECT_TRUE(actions[2]->isEnabled());
    EXPECT_TRUE(chart_.Legend3()->isVisibleTo(&chart_));
    EXPECT_TRUE(chart_.Plot()->xAxis2->visible());
    // At least the 12.5 s the visible samples take at 40 Hz, so that the
    // two curves keep about one scale; a longer prediction all of it.
    EXPECT_EQ(chart_.Plot()->xAxis2->range().upper, 12.5);
    chart_.ShowPrediction({0, 20}, {0, 500}, {0, 0});
    EXPECT_EQ(chart_.Plot()->xAxis2->range().upper, 20);
    chart_.ShowPrediction({0, 1, 2}, {0, 500, 4000}, {0, -300, 0});
    chart_.Plot()->replot();
    EXPECT_LT(chart_.Plot()->yAxis->range().lower, -300);
    EXPECT_GT(chart_.Plot()->yAxis->range().upper, 4000);
    actions[2]->trigger();
    EXPECT_FALSE(chart_.HasPrediction());
    EXPECT_FALSE(chart_.Legend4()->isVisibleTo(&chart_));
    EXPECT_FALSE(chart_.Plot()->xAxis2->visible());
    EXPECT_EQ(chart_.KeptCount(), 1); // the live series stay
}

TEST_F(LiveChartTest, CsvExportWritesTheKeptHistory) {
    QTemporaryDir dir;
    chart_.AddSample(-1000, 1000);
    chart_.AddSample(INT32_MIN, INT32_MAX);
    dialogs_.answer = dir.filePath(QStringLiteral("wykres"));
    chart_.ContextMenu()->actions()[1]->trigger();
    QFile file(dir.filePath(QStringLiteral("wykres.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("sample,position,velocity\n"
                                         "0,-1000,1000\n"
                                         "1,-2147483648,2147483647\n"));
    EXPECT_TRUE(boxes_.texts.isEmpty());

    // cancelled: nothing written, nothing shown
    dialogs_.answer.clear();
    chart_.ExportCsv();
    EXPECT_TRUE(boxes_.texts.isEmpty());

    // a place that cannot be written is reported
    dialogs_.answer = dir.filePath(QStringLiteral("brak/katalogu/wykres.csv"));
    chart_.ExportCsv();
    EXPECT_EQ(boxes_.texts.size(), 1);
    dialogs_.answer = dir.filePath(QStringLiteral("brak/katalogu/wykres.png"));
    chart_.SaveImage();
    EXPECT_EQ(boxes_.texts.size(), 2);
}

TEST_F(LiveChartTest, PictureIsAPngOfTheChart) {
    QTemporaryDir dir;
    for (int i = 0; i < 100; ++i) {
        chart_.AddSample(i * 10, 500 - i);
    }
    dialogs_.answer = dir.filePath(QStringLiteral("wykres.PNG"));
    chart_.ContextMenu()->actions()[0]->trigger();
    QImage image(dir.filePath(QStringLiteral("wykres.PNG")), "PNG");
    EXPECT_EQ(image.size(), QSize(526, 336));
    EXPECT_TRUE(boxes_.texts.isEmpty());
}

} // namespace
