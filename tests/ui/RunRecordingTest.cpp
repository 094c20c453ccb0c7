// "Nagrywaj" in demo mode: "Uruchom program" reads the parameters, runs and
// records the program and sets it against its prediction on one time axis;
// an imperfect emulated axis is found out; without the box the run starts the
// chart; Play/Stop after a run brings the live chart back.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include "ControlPage.h"
#include "EmulatedInputs.h"
#include "EmulatorPeer.h"
#include "LiveChart.h"
#include "PdfText.h"
#include "ProgramListing.h"
#include "RunRecording.h"
#include "RunReportText.h"
#include "ShellFixture.h"

namespace {

// The report's save dialog answers with a path of the test's.
class ReportDialogs : public ShellDialogs {
public:
    QString path;
    QString GetSaveFileName(const QString&, const QString&, const QString&) override {
        return path;
    }
};

class RecordRun : public ShellFixtureOf<TFMain, ReportDialogs> {
protected:
    void SetUp() override {
        controller = std::make_unique<EmulatorPeer>(*backend);
        ShellFixtureOf::SetUp();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->StatusPanel(1)->text() == "Połączony (symulator)"; }, 5000));
    }
    void TearDown() override {
        ShellFixtureOf::TearDown();
        controller.reset();
    }
    void Prepare(TFMain& created) override {
        created.MarkAsSimulator();
        created.AttachEmulatedInputs([this](int io, bool on) { controller->SetInput(io, on); });
    }
    void Click(const char* button) {
        QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
    }
    // Loads the listing into P0 and sends it.
    void Send(const char* listing) {
        window->Programs().ClearProgram(0);
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse(listing, false, window->Programs(), error));
        window->RenderProgram();
        Click("BitBtn6");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->StatusPanel(0)->text() == Stored; }, 5000));
    }
    // Waits in a real event loop (qWaitFor sleeps between its passes, which
    // would slow the replies down).
    QString RecordedStatus(QSignalSpy& finished) {
        EXPECT_TRUE(finished.count() > 0 || finished.wait(20000));
        return window->StatusPanel(0)->text();
    }
    LiveChart* Chart() const { return window->Control().Chart(); }
    QString Log() const { return Find<QPlainTextEdit>("Memo2")->toPlainText(); }

    std::unique_ptr<EmulatorPeer> controller;
};

constexpr const char* OutAndBack = "P0\n[00]  V_MAX  02000\n[01]  A_MAX  04000\n[02]  M_EN\n"
                                   "[03]  X_DST  +0001000\n[04]  W_TIM  00100\n"
                                   "[05]  X_DST  +0000000\n[06]  END\n";

TEST_F(RecordRun, MeasuredOverPredictedOnOneTimeAxisAndSummedUp) {
    Send(OutAndBack);
    Find<QCheckBox>("RecordRun")->setChecked(true);
    QSignalSpy finished(&window->Recording(), &RunRecording::Finished);
    Click("BitBtn8"); // "Uruchom program"
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget()->objectName(), "TabSheet3");
    const QString status = RecordedStatus(finished);
    EXPECT_TRUE(status.contains("przewidziany 2,100 s")) << status.toStdString();
    const QString log = Log();
    EXPECT_TRUE(status.endsWith("zgodny z symulacją")) << status.toStdString() << "\n"
                                                       << log.toStdString();
    for (const char* line :
         {"Czas cyklu: zmierzony ", "Dojazd P0 linia 03: przewidziany 1,000 s",
          "Największa odchyłka pozycji: 0 kroków", "Przebieg zgodny z symulacją"}) {
        EXPECT_TRUE(log.contains(QString::fromUtf8(line))) << line << "\n" << log.toStdString();
    }
    // Both on the bottom axis, in seconds from the start.
    ASSERT_TRUE(Chart()->InRunView());
    EXPECT_TRUE(Chart()->Plot()->xAxis->visible());
    EXPECT_EQ(Chart()->Series3()->keyAxis(), Chart()->Plot()->xAxis);
    const auto measured = Chart()->Series1()->data();
    ASSERT_GT(measured->size(), 200);
    EXPECT_LT(measured->constBegin()->key, 0.05);
    EXPECT_GT((measured->constEnd() - 1)->key, 2.1);
    EXPECT_LT((measured->constEnd() - 1)->key, 3.0);
    EXPECT_NEAR((Chart()->Series3()->data()->constEnd() - 1)->key, 2.1, 0.02);
    // The parameters read on the way fill the fields.
    ASSERT_NE(window->Recording().LastComparison(), nullptr);
    EXPECT_EQ(window->Recording().LastParameters().parameters.at("vmax").value, 1000);

    // The report: the PDF with the cycle times and the serial, the CSV and
    // the PNG beside it.
    QTemporaryDir folder;
    dialogs.path = folder.filePath("run");
    ASSERT_TRUE(window->Raport1->isEnabled());
    window->Raport1->trigger();
    EXPECT_TRUE(window->StatusPanel(0)->text().startsWith("Raport zapisany: "))
        << window->StatusPanel(0)->text().toStdString();
    EXPECT_TRUE(QFile::exists(folder.filePath("run.csv")));
    EXPECT_FALSE(QImage(folder.filePath("run.png")).isNull());
    const std::string pdf = PdfText(folder.filePath("run.pdf").toStdString());
    if (pdf.empty()) {
        ADD_FAILURE() << "pdftotext (poppler-utils, scripts/setup.sh) read nothing";
    } else {
        const RunComparison::Result& c = *window->Recording().LastComparison();
        for (const QString& expected :
             {QStringLiteral("DEMO-1"), QStringLiteral("przewidziany 2,100 s"),
              QStringLiteral("Czas cyklu: zmierzony ") + RunReportText::Seconds(*c.measuredCycleS),
              QStringLiteral("+0001000")}) {
            EXPECT_NE(pdf.find(expected.toStdString()), std::string::npos)
                << expected.toStdString() << "\n"
                << pdf;
        }
    }

    // Play/Stop: the live chart again, with its sample numbers.
    Click("PlayChartButton");
    EXPECT_FALSE(Chart()->InRunView());
    EXPECT_FALSE(Chart()->Plot()->xAxis->visible());
    EXPECT_TRUE(window->Control().ChartRunning());
}

TEST_F(RecordRun, ImperfectAxisAndInputChangesAreFound) {
    // Waits for input 0, then out and back.
    Send("P0\n[00]  V_MAX  02000\n[01]  A_MAX  04000\n[02]  M_EN\n[03]  W_INP  0 on\n"
         "[04]  X_DST  +0001000\n[05]  X_DST  +0000000\n[06]  END\n");
    controller->With([](ControllerEmulator& e) { e.SetImperfection({120, 0}); });
    Find<QCheckBox>("RecordRun")->setChecked(true);
    QSignalSpy finished(&window->Recording(), &RunRecording::Finished);
    Click("BitBtn8");
    QTest::qWait(500);
    window->Control().Inputs().Box(0)->setChecked(true); // the operator's input, mid-run
    const QString status = RecordedStatus(finished);
    EXPECT_TRUE(status.endsWith("NIEZGODNY z symulacją")) << status.toStdString();
    const MotionRecording* recording = window->Recording().LastRecording();
    ASSERT_NE(recording, nullptr);
    ASSERT_EQ(recording->inputs.size(), 1u);
    EXPECT_EQ(recording->end, MotionRecording::End::ProgramEnded);
    const RunComparison::Result& c = *window->Recording().LastComparison();
    ASSERT_TRUE(c.predictedCycleS && c.measuredCycleS);
    // The prediction waits for the input as it changed, so only the lag is late.
    EXPECT_NEAR(*c.measuredCycleS - *c.predictedCycleS, 0.24, 0.03);
    EXPECT_GT(c.maxDeviation, 100);
    EXPECT_TRUE(Log().contains("SPÓŹNIONY"));
}

TEST_F(RecordRun, WithoutTheBoxTheRunStartsTheChartAndUntickingStopsARecording) {
    Send(OutAndBack);
    EXPECT_FALSE(window->Control().ChartRunning());
    Click("BitBtn8");
    EXPECT_TRUE(window->Control().ChartRunning());
    EXPECT_FALSE(Chart()->InRunView());
    QTest::qWait(2500); // the run ends

    auto* box = Find<QCheckBox>("RecordRun");
    box->setChecked(true);
    Click("BitBtn8");
    QTest::qWait(300);
    EXPECT_TRUE(window->Recording().Active());
    box->setChecked(false);
    EXPECT_FALSE(window->Recording().Active());
    ASSERT_NE(window->Recording().LastRecording(), nullptr);
    EXPECT_EQ(window->Recording().LastRecording()->end, MotionRecording::End::Stopped);
    EXPECT_TRUE(window->StatusPanel(0)->text().startsWith("Pomiar:"));
}

} // namespace
