// The window in demo mode with a controller that stops answering while it
// stays plugged: each kind of transfer and the chart's polling say so within
// the reply time-out of config.ini, nothing is reported as done, and the
// next transfer, once the controller answers again, completes.

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "ControlPage.h"
#include "EmulatorPeer.h"
#include "HeldProgramView.h"
#include "ProgramListing.h"
#include "ShellFixture.h"

namespace {

class MutedController : public ShellFixture {
protected:
    void SetUp() override {
        controller = std::make_unique<EmulatorPeer>(*backend);
        ShellFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->StatusPanel(1)->text() == "Połączony (symulator)"; }, 5000));
    }
    void TearDown() override {
        ShellFixture::TearDown();
        controller.reset();
    }
    void Prepare(TFMain& created) override {
        created.MarkAsSimulator();
        QFile ini(settingsDir.filePath(QStringLiteral("config.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Options]\nAutoLoad=0\nReplyTimeout=200\n");
    }
    void Mute(bool on) {
        controller->With([on](ControllerEmulator& emulator) { emulator.SetMuted(on); });
    }
    void Click(const char* button) {
        QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
    }
    QString Status() const { return window->StatusPanel(0)->text(); }
    bool WaitForStatus(const QString& text) {
        return QTest::qWaitFor([&] { return Status() == text; }, 5000);
    }

    std::unique_ptr<EmulatorPeer> controller;
};

TEST_F(MutedController, EveryTransferStopsWithItsLineAndTheNextOneCompletes) {
    struct Kind {
        const char* button;
        QString done;
    };
    const Kind kinds[] = {{"BitBtn6", Stored}, {"BitBtn7", ReadBack}}; // send, read back
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.button);
        window->ShowStatus(QString());
        Mute(true);
        boxes.answers = {QMessageBox::Yes}; // the read back asks first
        Click(kind.button);
        ASSERT_TRUE(WaitForStatus("Brak odpowiedzi sterownika: linia 00"))
            << Status().toStdString();
        EXPECT_EQ(window->pb->value(), 0);
        EXPECT_TRUE(window->Memo2->toPlainText().contains("Brak odpowiedzi sterownika: linia 00"));
        QTest::qWait(300); // nothing follows: no success is shown
        EXPECT_EQ(Status(), "Brak odpowiedzi sterownika: linia 00");

        Mute(false);
        boxes.answers = {QMessageBox::Yes};
        Click(kind.button);
        ASSERT_TRUE(WaitForStatus(kind.done)) << Status().toStdString();
        EXPECT_EQ(window->pb->value(), 25);
    }
}

TEST_F(MutedController, ChartPollingShowsTheSilentControllerUntilItAnswersAgain) {
    window->PageControl1->setCurrentWidget(window->TabSheet3);
    Click("PlayChartButton");
    QTest::qWait(100);
    Mute(true);
    ASSERT_TRUE(WaitForStatus("Sterownik nie odpowiada")) << Status().toStdString();
    EXPECT_EQ(window->StatusPanel(1)->text(), "Połączony (symulator)");
    Mute(false);
    EXPECT_TRUE(WaitForStatus(QString()));
    Click("PlayChartButton");
}

TEST_F(MutedController, RunOfAChangedProgramEndsWhenItsSendStalls) {
    const auto load = [&](const char* listing) {
        window->Programs().ClearProgram(0);
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse(listing, false, window->Programs(), error));
        window->RenderProgram();
    };
    load("P0\n[00]  M_EN\n[01]  W_TIM  00100\n[02]  END\n");
    Click("BitBtn6"); // sent while the controller answers
    ASSERT_TRUE(WaitForStatus(Stored)) << Status().toStdString();
    load("P0\n[00]  M_EN\n[01]  W_TIM  00200\n[02]  END\n");
    Mute(true);
    boxes.answers = {QMessageBox::Yes}; // send the changed program, then run it
    Click("BitBtn8");
    // Ended by the stalled send, long before the chain's own limit.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Status() == "Brak odpowiedzi sterownika: program 0 nie został uruchomiony"; },
        HeldProgramView::ChainTimeoutMs / 2))
        << Status().toStdString();
    Mute(false);
    QTest::qWait(300);
    controller->With([](ControllerEmulator& emulator) { EXPECT_FALSE(emulator.ProgramRunning()); });
}

} // namespace

namespace {

// Another program (a kxrd4-cli, say) holds the controller for a transfer of
// its own: the window sends nothing and names it; once it lets go, the
// window's transfer goes through and lets go in turn when it ends.
TEST_F(MutedController, AControllerHeldByAnotherProgramIsNotSentTo) {
    const std::string path = backend->PathOf(controller->Device());
    auto other = SimulatedHidBackend::NewClient(backend, "kxrd4-cli (process 77)");
    std::string holder;
    auto hold = other->TryLock(path, holder);
    ASSERT_NE(hold, nullptr);
    auto lineWrites = [&] {
        int n = 0;
        for (const auto& report : backend->Written(controller->Device()))
            n += report.size() > 1 && (report[1] == 'd' || report[1] == 'e') ? 1 : 0;
        return n;
    };
    const int before = lineWrites();
    for (const char* button : {"BitBtn6", "BitBtn7"}) { // send, read back
        SCOPED_TRACE(button);
        window->ShowStatus(QString());
        boxes.answers = {QMessageBox::Yes};
        Click(button);
        EXPECT_EQ(Status(), "Sterownik jest zajęty przez kxrd4-cli (proces 77)");
        QTest::qWait(100);
        EXPECT_EQ(lineWrites(), before) << "nothing is sent to a controller held by another";
    }

    hold.reset();
    Click("BitBtn6");
    ASSERT_TRUE(WaitForStatus(Stored)) << Status().toStdString();
    // The window let go with the end of its transfer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return other->TryLock(path, holder) != nullptr; }, 2000));
}

} // namespace
