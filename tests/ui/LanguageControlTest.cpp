// The window's frame and "Sterowanie" in English, with the emulated
// controller of the demo: every page, menu, action, tool tip, status text and
// question of the main window, the guards around motion, the travel limits,
// the recording and the chart show no Polish, and no English text needs more
// room than the fixed layout gives it where the Polish one fitted.

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <functional>
#include <qcustomplot.h>

#include "ControlPage.h"
#include "EmulatorPeer.h"
#include "InEnglish.h"
#include "LiveChart.h"
#include "MotionGuard.h"
#include "NumberField.h"
#include "PolishText.h"
#include "RunRecording.h"
#include "ShellFixture.h"
#include "TravelLimitsView.h"

namespace {

using Button = QMessageBox::StandardButton;

// Every part built and every page shown once, as the operator would.
void BuildAndShowAll(TFMain& window) {
    window.Control();
    window.Config();
    window.Limits();
    window.Recording();
    for (int page = window.PageControl1->count() - 1; page >= 0; --page) {
        window.PageControl1->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
}

// The demo window (emulated controller) with the given texts loaded.
class DemoWindow : public ShellFixtureOf<TFMain, ScriptedDialogs> {
protected:
    explicit DemoWindow(Language language = Language::English) : language_(language) {}
    void SetUp() override {
        App().LoadTranslations(language_);
        controller = std::make_unique<EmulatorPeer>(*backend);
        ShellFixtureOf::SetUp();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->StatusPanel(1)->text().startsWith(Connected()); }, 5000));
    }
    void TearDown() override {
        ShellFixtureOf::TearDown();
        controller.reset();
        App().LoadTranslations(Language::Polish);
    }
    void Prepare(TFMain& created) override { created.MarkAsSimulator(); }
    QString Connected() const {
        return language_ == Language::English ? QStringLiteral("Connected")
                                              : QStringLiteral("Połączony");
    }
    void Click(const char* name) {
        QTest::mouseClick(Find<QAbstractButton>(QLatin1String(name)), Qt::LeftButton);
    }

    std::unique_ptr<EmulatorPeer> controller;

private:
    Language language_;
};

class EnglishDemo : public DemoWindow {};

TEST_F(EnglishDemo, EveryPageMenuAndToolBarShowNoPolish) {
    BuildAndShowAll(*window);
    // The whole window: widgets, tool tips, the menu bar with every menu and
    // action (the editing commands also as the window's own, for their keys).
    QStringList polish = PolishTextsIn(window.get());
    // The chart's axes and series are drawn, not widgets.
    LiveChart* chart = window->Control().Chart();
    QStringList drawn{chart->Plot()->xAxis2->label()};
    for (QCPGraph* series :
         {chart->Series1(), chart->Series2(), chart->Series3(), chart->Series4()})
        drawn << series->name();
    chart->BeginRunView(2.0); // the run view's time axis
    drawn << chart->Plot()->xAxis->label();
    chart->EndRunView();
    polish += PolishAmong(drawn);
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);

    // Where a wrong pick is easy: the same Polish word, different English.
    const QTabWidget* tabs = window->PageControl1;
    EXPECT_EQ(QStringList({tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
              QStringList({"Programming", "Control", "Options"}));
    EXPECT_EQ(window->windowTitle(), "KX-RD4 PC (emulator)  -  [New]");
    for (const auto& [name, text] :
         {std::pair{"WriteVmaxButton", "Save"}, std::pair{"WriteXdstButton", "Set"},
          std::pair{"WriteHomeButton", "Home"}})
        EXPECT_EQ(Find<QAbstractButton>(QLatin1String(name))->text().toStdString(), text);
}

// One step of the operator's and what the window asked or said meanwhile.
struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<Button> answers;
};

TEST_F(EnglishDemo, QuestionsWarningsAndStatusTextsAreEnglish) {
    window->Control();
    TravelLimitsView& limits = window->Limits();
    limits.CheckDevice();
    MotionGuard& guard = window->Guard();
    const auto limitsTo = [&](const char* min, const char* max, const char* vmax) {
        return [&, min, max, vmax] {
            limits.MinField->setText(QLatin1String(min));
            limits.MaxField->setText(QLatin1String(max));
            limits.VmaxField->setText(QLatin1String(vmax));
            limits.Save();
        };
    };
    const QString missing = settingsDir.filePath(QStringLiteral("no/such/folder/chart"));
    const Step steps[] = {
        {"about", [&] { window->Oprogramie1->trigger(); }, {Button::Ok}},
        {"read program", [&] { Click("BitBtn7"); }, {Button::No}},
        {"write while moving",
         [&] {
             window->AddChartSample(1200, 300);
             window->Control().Field("VmaxLabel")->setText(QStringLiteral("900"));
             Click("WriteVmaxButton");
         },
         {Button::No}},
        {"send while moving", [&] { guard.Allow(MessageLetter::LineWrite); }, {Button::No}},
        {"restore while moving", [&] { guard.AllowRestore(); }, {Button::No}},
        {"connection lost while moving",
         [&] {
             guard.ConnectionLost();
             EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.answers.empty(); }, 2000));
         },
         {Button::Ok}},
        {"limits not numbers", limitsTo("0", "10x", ""), {}},
        {"limits saved", limitsTo("0", "50000", "800"), {}},
        {"target beyond", [&] { guard.Allow(MessageLetter::XdstSet, 50001); }, {Button::Ok}},
        {"velocity beyond", [&] { guard.Allow(MessageLetter::VdstSet, 801); }, {Button::Ok}},
        {"jog beyond",
         [&] {
             window->AddChartSample(49600, 0);
             guard.Allow(MessageLetter::PositionUp, 401);
         },
         {Button::Ok}},
        {"leaving the limits", [&] { window->AddChartSample(50010, 120); }, {}},
        {"limits removed", limitsTo("", "", ""), {}},
        {"report without a run", [&] { window->Raport1Click(); }, {}},
        {"chart image not written",
         [&] {
             dialogs.answers = {missing};
             window->Control().Chart()->SaveImage();
         },
         {Button::Ok}},
        {"chart data not written",
         [&] {
             dialogs.answers = {missing};
             window->Control().Chart()->ExportCsv();
         },
         {Button::Ok}},
        {"recording started",
         [&] {
             Find<QCheckBox>(QStringLiteral("RecordRun"))->setChecked(true);
             window->Recording().Start(window->Programs(), 0);
         },
         {}},
    };
    QStringList polish;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        boxes.calls.clear();
        boxes.answers = {step.answers.begin(), step.answers.end()};
        step.act();
        EXPECT_EQ(boxes.calls.size(), step.answers.size());
        QStringList texts{window->StatusPanel(0)->text(), limits.Note->text()};
        for (const auto& call : boxes.calls)
            texts << call.title << call.text;
        for (const auto& call : dialogs.calls)
            texts << call.title << call.filter;
        dialogs.calls.clear();
        for (const QString& text : PolishAmong(texts))
            polish << QString::fromUtf8(step.what) + QStringLiteral(": ") + text;
    }
    Find<QCheckBox>(QStringLiteral("RecordRun"))->setChecked(false);
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
}

TEST_F(EnglishDemo, WholeSentencesAreTranslatedNotPieces) {
    // The questions built from a velocity or a controller name read as one
    // English sentence each.
    window->AddChartSample(0, 250);
    boxes.answers = {Button::No, Button::No};
    EXPECT_FALSE(window->Guard().AllowRestore());
    EXPECT_FALSE(window->Guard().Allow(MessageLetter::LineWrite));
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].title, "Motion safety");
    EXPECT_EQ(boxes.calls[0].text,
              "The axis is moving (last reading: velocity 250). Restore the controller anyway?");
    EXPECT_EQ(boxes.calls[1].text,
              "The axis is moving (last reading: velocity 250). Send the program anyway?");

    // Another controller than the one driven last: asked, "No" the default.
    ScriptedBoxes alone;
    std::optional<DeviceIdentity> current = DeviceIdentity{"SN1", "1-2", "/dev/a"};
    MotionGuard other(alone, [&] { return current; });
    EXPECT_TRUE(other.Allow(MessageLetter::MotorStop));
    EXPECT_TRUE(other.Allow(MessageLetter::XdstSet, 10));
    current = DeviceIdentity{"SN2", "1-3", "/dev/b"};
    alone.answers = {Button::No};
    EXPECT_FALSE(other.Allow(MessageLetter::XdstSet, 10));
    ASSERT_EQ(alone.calls.size(), 1u);
    EXPECT_FALSE(LooksPolish(alone.calls[0].text)) << alone.calls[0].text.toStdString();
    EXPECT_TRUE(alone.calls[0].text.startsWith("The motion command goes to controller "))
        << alone.calls[0].text.toStdString();
    EXPECT_EQ(alone.calls[0].defaultButton, Button::No);

    // The position not known yet: a jog within limits cannot be checked.
    other.SetLimits([] { return TravelLimits::Parse("0 1000"); }, [] {}, [](const QString&) {});
    alone.calls.clear();
    alone.answers = {Button::Ok};
    EXPECT_FALSE(other.Allow(MessageLetter::PositionUp, 5));
    ASSERT_EQ(alone.calls.size(), 1u);
    EXPECT_EQ(alone.calls[0].title, "Travel limits");
    EXPECT_TRUE(alone.calls[0].text.startsWith("The position of the axis is not known"))
        << alone.calls[0].text.toStdString();
    EXPECT_TRUE(alone.calls[0].text.endsWith("Nothing was sent. The travel limits are kept on "
                                             "this PC (page \"Options\"), not in the controller."))
        << alone.calls[0].text.toStdString();

    // The about box: version and address filled in.
    boxes.calls.clear();
    window->Oprogramie1->trigger();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].title, "About");
    EXPECT_TRUE(boxes.calls[0].text.startsWith("Program for working with the KX-RD4 device\n"))
        << boxes.calls[0].text.toStdString();
    EXPECT_FALSE(boxes.calls[0].text.contains('%')) << boxes.calls[0].text.toStdString();
}

TEST_F(EnglishDemo, ARecordingThatCannotStartSaysSoInEnglish) {
    window->Control();
    controller.reset(); // the controller goes before the recording starts
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->StatusPanel(1)->text() == QStringLiteral("Disconnected"); }, 5000));
    Find<QCheckBox>(QStringLiteral("RecordRun"))->setChecked(true);
    window->Recording().Start(window->Programs(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Recording().Active(); }, 5000));
    const QString status = window->StatusPanel(0)->text();
    EXPECT_TRUE(status.startsWith("Recording stopped")) << status.toStdString();
    EXPECT_FALSE(LooksPolish(status)) << status.toStdString();
}

// What each text of the built window needs beyond the room it has (in
// pixels, 0 when it fits), keyed by the path of objectNames and class names.
QMap<QString, int> Shortfalls(TFMain& window) {
    QMap<QString, int> shortfalls;
    std::function<void(QWidget*, const QString&)> walk = [&](QWidget* widget, const QString& path) {
        const QString key =
            path + QLatin1Char('/') +
            (widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                            : widget->objectName());
        int needed = 0;
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap())
            needed = label->sizeHint().width();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget);
                 button && !button->text().isEmpty())
            needed = button->sizeHint().width();
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            needed = box->fontMetrics().horizontalAdvance(box->title()) + 16;
        if (needed > 0 && widget->isVisible() && !widget->isWindow())
            shortfalls[key] = std::max(0, needed - widget->width());
        int index = 0;
        for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            walk(child, key + QLatin1Char('.') + QString::number(index++));
    };
    for (int page = 0; page < window.PageControl1->count(); ++page) {
        window.PageControl1->setCurrentIndex(page);
        QCoreApplication::processEvents();
        walk(window.PageControl1->widget(page), QString::number(page));
    }
    walk(window.ToolBar1, QStringLiteral("tools"));
    return shortfalls;
}

class PolishDemo : public DemoWindow {
protected:
    PolishDemo() : DemoWindow(Language::Polish) {}
};

TEST_F(PolishDemo, EnglishTextsFitWhereThePolishOnesDid) {
    BuildAndShowAll(*window);
    const QMap<QString, int> polish = Shortfalls(*window);
    ShellFixtureOf::TearDown();
    App().LoadTranslations(Language::English);
    ShellFixtureOf::SetUp();
    BuildAndShowAll(*window);
    const QMap<QString, int> english = Shortfalls(*window);
    ASSERT_GT(english.size(), 40);
    QStringList cut;
    for (auto it = english.begin(); it != english.end(); ++it) {
        if (it.value() > polish.value(it.key(), 0))
            cut << it.key() + QStringLiteral(": %1 px short").arg(it.value());
    }
    EXPECT_TRUE(cut.isEmpty()) << Joined(cut);
}

} // namespace
