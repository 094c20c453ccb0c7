#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "CommandCode.h"
#include "ControlFakes.h"
#include "ControlPage.h"
#include "ControllerMessages.h"
#include "LiveChart.h"
#include "LiveChartModule.h"
#include "NumberField.h"
#include "ProgramSet.h"
#include "ProgramSimulation.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A zeroed 256-byte report with report id 1, the letter and the given payload.
SentReports::Report Expected(std::uint8_t letter, Bytes payload = {}) {
    SentReports::Report r{};
    r[0] = 1;
    r[1] = letter;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        r[2 + i] = payload[i];
    }
    return r;
}

Bytes Int32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
}

Bytes Homing(std::int32_t v, std::uint8_t contact) {
    Bytes b = Int32(v);
    b.push_back(contact);
    return b;
}

class ControlPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        pages_.addTab(programming_, QStringLiteral("Programowanie"));
        pages_.addTab(control_, QStringLiteral("Sterowanie"));
        pages_.addTab(options_, QStringLiteral("Opcje"));
        page_ = std::make_unique<ControlPage>(control_, messages_, dialogs_, boxes_);
    }

    NumberField* Field(const char* name) {
        return control_->findChild<NumberField*>(QString::fromLatin1(name));
    }
    QAbstractButton* Button(const char* name) {
        return control_->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QComboBox* List(const char* name) {
        return control_->findChild<QComboBox*>(QString::fromLatin1(name));
    }
    // Replaces the field's text the way the operator's typing does (the
    // length limit applies; QTest::keyClicks cannot type Polish letters).
    void Type(NumberField* field, const QString& text) {
        field->selectAll();
        field->insert(text);
    }

    ProgramSet programs_;
    SentReports sent_;
    ControllerMessages messages_{sent_, programs_};
    AnsweringFileDialogs dialogs_;
    CountingMessageBoxes boxes_;
    QTabWidget pages_;
    QWidget* programming_ = new QWidget;
    QWidget* control_ = new QWidget;
    QWidget* options_ = new QWidget;
    std::unique_ptr<ControlPage> page_;
};

TEST_F(ControlPageTest, WriteButtonsConvertClampWriteBackAndSend) {
    struct Case {
        const char* field;
        const char* typed; // UTF-8
        int noNc;
        const char* shown;  // the field's text afterwards
        std::int32_t value; // sent value; ignored when nothing is sent
        bool sends;
    };
    const Case cases[] = {
        {"VminLabel", "abc", 0, "abc", 0, false},
        {"VminLabel", "", 0, "", 0, false},
        {"VminLabel", "-", 0, "-", 0, false},
        {"VminLabel", "007", 0, "7", 7, true},
        {"VminLabel", "$10", 0, "16", 16, true},
        {"VminLabel", "-5", 0, "0", 0, true},
        {"VminLabel", "40000", 0, "29999", 29999, true},
        {"VmaxLabel", "40000", 0, "29999", 29999, true},
        {"VmaxLabel", "-1", 0, "0", 0, true},
        {"VmaxLabel", "+300", 0, "300", 300, true},
        {"VmaxLabel", " 0x10", 0, "16", 16, true},
        {"AmaxLabel", "12 ", 0, "12 ", 0, false},
        {"AmaxLabel", "żółw", 0, "żółw", 0, false},
        // the 8-character limit cuts typing: 21474836 is then clamped
        {"AmaxLabel", "2147483648", 0, "29999", 29999, true},
        {"VdstLabel", "-30000", 0, "-29999", -29999, true},
        {"VdstLabel", "30000", 0, "29999", 29999, true},
        {"XdstLabel", "-9999999", 0, "-9999999", -9999999, true},
        {"XdstLabel", "99999999", 0, "9999999", 9999999, true},
        {"XdstLabel", "12x", 0, "12x", 0, false},
        {"XdstLabel", "0x", 0, "0x", 0, false},
        {"HomeLabel", "300", 1, "300", 300, true},
        {"HomeLabel", "-40000", 0, "-29999", -29999, true},
        {"HomeLabel", "$", 1, "$", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- " + c.typed);
        sent_.reports.clear();
        NumberField* field = Field(c.field);
        ASSERT_NE(field, nullptr);
        Type(field, QString::fromUtf8(c.typed));
        List("NoNc")->setCurrentIndex(c.noNc);

        const ControlPage::Row* row = nullptr;
        for (const auto& r : ControlPage::Rows) {
            if (QLatin1String(r.field) == QLatin1String(c.field)) {
                row = &r;
            }
        }
        ASSERT_NE(row, nullptr);
        Button(row->writeButton)->click();

        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(field->IsWarned(), !c.sends);
        if (!c.sends) {
            EXPECT_TRUE(sent_.reports.empty());
            continue;
        }
        ASSERT_EQ(sent_.reports.size(), 1u);
        const auto letter = LetterByte(row->write);
        const Bytes payload = row->write == MessageLetter::HomeStart
                                  ? Homing(c.value, static_cast<std::uint8_t>(c.noNc))
                                  : Int32(c.value);
        EXPECT_EQ(sent_.reports[0], Expected(letter, payload));
    }
}

TEST_F(ControlPageTest, OnlyTheSixWriteButtonNamesWrite) {
    Type(Field("VminLabel"), QStringLiteral("5"));
    page_->WriteButtonClick(QStringLiteral("ReadVminButton"));
    page_->WriteButtonClick(QStringLiteral("writevminbutton"));
    page_->WriteButtonClick(QString());
    EXPECT_TRUE(sent_.reports.empty());
    page_->WriteButtonClick(QStringLiteral("WriteVminButton"));
    EXPECT_EQ(sent_.reports.size(), 1u);
}

TEST_F(ControlPageTest, HomingWith300AndNcCarriesContactTypeOne) {
    Type(Field("HomeLabel"), QStringLiteral("300"));
    List("NoNc")->setCurrentIndex(1);
    Button("WriteHomeButton")->click();
    ASSERT_EQ(sent_.reports.size(), 1u);
    const Bytes head{0x01, 0x72, 0x2C, 0x01, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(sent_.Only(8), head);
}

TEST_F(ControlPageTest, WarningColourLeavesOnTheNextChange) {
    NumberField* vmin = Field("VminLabel");
    const QColor window = vmin->palette().color(QPalette::Base);
    Type(vmin, QStringLiteral("abc"));
    Button("WriteVminButton")->click();
    EXPECT_EQ(vmin->palette().color(QPalette::Base), QColor(253, 124, 102));
    QTest::keyClicks(vmin, QStringLiteral("d"));
    EXPECT_EQ(vmin->palette().color(QPalette::Base), window);

    // a read reply clears it too, and so does the clamped value written back
    Type(vmin, QStringLiteral("x"));
    Button("WriteVminButton")->click();
    ASSERT_TRUE(vmin->IsWarned());
    EXPECT_TRUE(page_->SetValueField("VminLabel", 300));
    EXPECT_EQ(vmin->text(), QStringLiteral("300"));
    EXPECT_FALSE(vmin->IsWarned());

    // only the field that failed is marked
    Type(Field("VmaxLabel"), QStringLiteral("q"));
    Button("WriteVmaxButton")->click();
    EXPECT_TRUE(Field("VmaxLabel")->IsWarned());
    EXPECT_FALSE(Field("AmaxLabel")->IsWarned());
}

TEST_F(ControlPageTest, RepliesFillTheFieldsWithAnyValue) {
    struct Case {
        const char* field;
        std::int32_t value;
        const char* text;
    } cases[] = {
        {"VminLabel", 300, "300"},
        {"VmaxLabel", 0, "0"},
        {"AmaxLabel", -1, "-1"},
        {"VdstLabel", INT32_MAX, "2147483647"},
        {"XdstLabel", INT32_MIN, "-2147483648"},
        {"HomeLabel", -29999, "-29999"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(page_->SetValueField(c.field, c.value));
        EXPECT_EQ(Field(c.field)->text(), QString::fromLatin1(c.text)) << c.field;
    }
    EXPECT_FALSE(page_->SetValueField("XdefLabel", 1));

    // the long value can be sent back (clamped) and typing is limited again
    NumberField* xdst = Field("XdstLabel");
    Button("WriteXdstButton")->click();
    EXPECT_EQ(xdst->text(), QStringLiteral("-9999999"));
    Type(xdst, QStringLiteral("123456789"));
    EXPECT_EQ(xdst->text(), QStringLiteral("12345678"));
}

TEST_F(ControlPageTest, NoNcFollowsTheHomeReadReply) {
    QComboBox* noNc = List("NoNc");
    page_->SetNoNc(1);
    EXPECT_EQ(noNc->currentIndex(), 1);
    page_->SetNoNc(0);
    EXPECT_EQ(noNc->currentIndex(), 0);
    page_->SetNoNc(std::nullopt);
    EXPECT_EQ(noNc->currentIndex(), -1);
    page_->SetNoNc(7);
    EXPECT_EQ(noNc->currentIndex(), -1);

    // without a contact type homing is not started
    Type(Field("HomeLabel"), QStringLiteral("100"));
    Button("WriteHomeButton")->click();
    EXPECT_TRUE(sent_.reports.empty());
    EXPECT_EQ(noNc->palette().color(QPalette::Button), NumberField::WarningColour());
    noNc->setCurrentIndex(0);
    EXPECT_NE(noNc->palette().color(QPalette::Button), NumberField::WarningColour());
    Button("WriteHomeButton")->click();
    ASSERT_EQ(sent_.reports.size(), 1u);
    EXPECT_EQ(sent_.reports[0], Expected(0x72, Homing(100, 0)));
}

TEST_F(ControlPageTest, ReadAndMotorButtonsSendTheirLetterAlone) {
    const std::pair<const char*, std::uint8_t> cases[] = {
        {"ReadVminButton", 0x69}, {"ReadVmaxButton", 0x6A}, {"ReadAmaxButton", 0x6B},
        {"ReadHomeButton", 0x6C}, {"ReadVdstButton", 0x6D}, {"ReadXdstButton", 0x6E},
        {"EnableButton", 0x75},   {"DisableButton", 0x76},  {"StopButton", 0x77},
        {"BrakeButton", 0x78},
    };
    for (const auto& [name, letter] : cases) {
        sent_.reports.clear();
        Button(name)->click();
        ASSERT_EQ(sent_.reports.size(), 1u) << name;
        EXPECT_EQ(sent_.reports[0], Expected(letter)) << name;
    }
}

TEST_F(ControlPageTest, JogButtonsSendTheDeltaStep) {
    QComboBox* delta = List("Delta");
    ASSERT_EQ(delta->count(), 1000);
    EXPECT_EQ(delta->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(delta->itemText(999), QStringLiteral("1000"));
    EXPECT_EQ(delta->currentText(), QStringLiteral("500"));
    const std::pair<const char*, std::uint8_t> jogs[] = {
        {"BitBtn1", 0x7A}, {"BitBtn2", 0x7B}, {"BitBtn3", 0x7D}, {"BitBtn4", 0x7C}};
    for (const auto& [index, step] : {std::pair{499, 500}, std::pair{0, 1}, std::pair{999, 1000}}) {
        delta->setCurrentIndex(index);
        for (const auto& [name, letter] : jogs) {
            sent_.reports.clear();
            Button(name)->click();
            ASSERT_EQ(sent_.reports.size(), 1u) << name;
            EXPECT_EQ(sent_.reports[0], Expected(letter, Int32(step))) << name << " " << step;
        }
    }
}

TEST_F(ControlPageTest, TimerPollsOnlyWhileRunningOnThisPage) {
    struct Case {
        bool running;
        QWidget* shown;
        bool polls;
    };
    const Case cases[] = {
        {false, control_, false}, {true, control_, true},   {true, programming_, false},
        {true, options_, false},  {false, options_, false},
    };
    for (const Case& c : cases) {
        sent_.reports.clear();
        if (page_->ChartRunning() != c.running) {
            Button("PlayChartButton")->click();
        }
        pages_.setCurrentWidget(c.shown);
        page_->Timer1Timer();
        EXPECT_EQ(page_->ChartRunning(), c.running);
        if (c.polls) {
            ASSERT_EQ(sent_.reports.size(), 1u);
            EXPECT_EQ(sent_.reports[0], Expected(0x79));
        } else {
            EXPECT_TRUE(sent_.reports.empty());
        }
    }
}

TEST_F(ControlPageTest, PlayStopTwiceTouchesNeitherPointsNorCounter) {
    for (int i = 0; i < 10; ++i) {
        page_->AddChartSample(i, -i);
    }
    LiveChart* chart = page_->Chart();
    EXPECT_FALSE(page_->ChartRunning());
    Button("PlayChartButton")->click();
    EXPECT_TRUE(page_->ChartRunning());
    // samples arriving while stopped are added as well
    Button("PlayChartButton")->click();
    EXPECT_FALSE(page_->ChartRunning());
    EXPECT_EQ(chart->SampleCounter(), 10);
    EXPECT_EQ(chart->KeptCount(), 10);
    EXPECT_TRUE(sent_.reports.empty());
    page_->AddChartSample(5, 5);
    EXPECT_EQ(chart->SampleCounter(), 11);
}

TEST_F(ControlPageTest, ControlsStandWhereTheFormPutsThem) {
    struct Case {
        const char* name;
        QRect geometry;
        const char* caption; // nullptr: not a button or no caption
    } cases[] = {
        {"GroupBox4", {3, 16, 257, 153}, nullptr},
        {"GroupBox5", {271, 16, 257, 153}, nullptr},
        {"Chart1", {3, 175, 526, 336}, nullptr},
        {"PlayChartButton", {421, 471, 98, 25}, "Play/Stop"},
        {"GroupBox6", {3, 502, 179, 91}, nullptr},
        {"GroupBox7", {188, 502, 341, 91}, nullptr},
        {"VminLabel", {7, 25, 137, 24}, nullptr},
        {"ReadVminButton", {150, 25, 25, 25}, ""},
        {"WriteVminButton", {174, 25, 75, 25}, "Zapisz"},
        {"VmaxLabel", {7, 70, 137, 24}, nullptr},
        {"WriteAmaxButton", {174, 115, 75, 25}, "Zapisz"},
        {"VdstLabel", {7, 25, 137, 24}, nullptr},
        {"WriteVdstButton", {174, 25, 75, 25}, "Ustaw"},
        {"XdstLabel", {7, 70, 137, 24}, nullptr},
        {"WriteXdstButton", {174, 70, 75, 25}, "Ustaw"},
        {"HomeLabel", {7, 115, 88, 24}, nullptr},
        {"NoNc", {101, 115, 43, 24}, nullptr},
        {"ReadHomeButton", {150, 115, 25, 25}, ""},
        {"WriteHomeButton", {174, 115, 75, 25}, "Bazuj"},
        {"EnableButton", {13, 17, 74, 25}, "Enable"},
        {"DisableButton", {98, 17, 70, 25}, "Disable"},
        {"StopButton", {13, 52, 74, 25}, "Stop"},
        {"BrakeButton", {98, 52, 70, 25}, "Brake"},
        {"BitBtn1", {13, 17, 126, 25}, "Zwiększ prędkość"},
        {"BitBtn2", {13, 52, 126, 25}, "Zmniejsz prędkość"},
        {"Delta", {145, 36, 52, 24}, nullptr},
        {"BitBtn4", {203, 17, 128, 25}, "Przesuń w lewo"},
        {"BitBtn3", {203, 52, 128, 25}, "Przesuń w prawo"},
    };
    for (const auto& c : cases) {
        auto* w = control_->findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
        if (c.caption != nullptr) {
            auto* b = qobject_cast<QAbstractButton*>(w);
            ASSERT_NE(b, nullptr) << c.name;
            EXPECT_EQ(b->text(), QString::fromUtf8(c.caption)) << c.name;
        }
    }
    for (const auto& row : ControlPage::Rows) {
        NumberField* f = Field(row.field);
        EXPECT_EQ(f->maxLength(), 8);
        EXPECT_TRUE(f->text().isEmpty());
        EXPECT_EQ(f->font().pixelSize(), 13);
        auto* caption = control_->findChild<QLabel*>(QString::fromLatin1(row.field) + "Caption");
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), QString::fromUtf8(row.caption));
        EXPECT_LT(caption->geometry().bottom(), f->y());
        EXPECT_FALSE(Button(row.readButton)->icon().isNull());
        EXPECT_TRUE(Button(row.readButton)->text().isEmpty());
    }
    EXPECT_EQ(List("NoNc")->currentText(), QStringLiteral("NO"));
    EXPECT_EQ(List("NoNc")->count(), 2);
}

TEST_F(ControlPageTest, NarrowListsShowTheirWholeText) {
    for (const auto& [name, text] :
         {std::pair{"NoNc", "NO"}, std::pair{"NoNc", "NC"}, std::pair{"Delta", "1000"}}) {
        QComboBox* list = List(name);
        EXPECT_EQ(list->font().pixelSize(), 13);
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = false;
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, list);
        EXPECT_LE(list->fontMetrics().horizontalAdvance(QString::fromLatin1(text)), field.width())
            << name << " " << text;
    }
}

TEST_F(ControlPageTest, ControlsOutliveThePageObject) {
    page_.reset(); // the window may drop the page object before its widgets
    pages_.setCurrentWidget(control_);
    pages_.resize(537, 625);
    EXPECT_FALSE(pages_.grab().isNull());
    Button("WriteVminButton")->click(); // no handler left: nothing happens
    EXPECT_TRUE(sent_.reports.empty());
}

} // namespace

// The chart comes from a library of its own: a file that is missing, or that
// is not the chart library, is refused with the reason, and the next
// candidate is tried.
TEST(LiveChartModuleTest, UnusableLibrariesAreRefusedWithTheReasonAndTheNextIsTried) {
    AnsweringFileDialogs dialogs;
    CountingMessageBoxes boxes;
    QWidget parent;
    const QString missing = QStringLiteral("/nonexistent/libkxrd4-chart.so");
    const QString other = QStringLiteral("libm.so.6"); // loads, but holds no chart
    struct Case {
        QStringList candidates;
        bool created;
        QStringList reasons;
    } cases[] = {
        {{missing}, false, {missing}},
        {{other}, false, {QStringLiteral("to nie jest moduł wykresu")}},
        {{missing, other}, false, {missing, QStringLiteral("to nie jest moduł wykresu")}},
        // The tests link the library: found by its name, as already loaded.
        {{missing, QStringLiteral("libkxrd4-chart.so")}, true, {}},
    };
    for (const Case& c : cases) {
        LiveChartModule::SetCandidates(c.candidates);
        LiveChart* chart = LiveChartModule::Create(&parent, dialogs, boxes);
        EXPECT_EQ(chart != nullptr, c.created) << c.candidates.join(u' ').toStdString();
        for (const QString& reason : c.reasons)
            EXPECT_TRUE(LiveChartModule::Error().contains(reason))
                << LiveChartModule::Error().toStdString();
        if (chart != nullptr) {
            EXPECT_TRUE(LiveChartModule::Error().isEmpty());
            EXPECT_EQ(chart->objectName(), QStringLiteral("Chart1"));
            EXPECT_EQ(chart->parent(), &parent);
        }
    }
    LiveChartModule::SetCandidates({});
    EXPECT_TRUE(LiveChartModule::Candidates().contains(QStringLiteral("libkxrd4-chart.so")));
}

// Without the chart library the page says in the chart's place why, and the
// samples, Play/Stop and the dry run's prediction go on without a chart.
TEST(LiveChartModuleTest, WithoutTheLibraryThePageWorksOnAndSaysWhy) {
    ProgramSet programs;
    SentReports sent;
    ControllerMessages messages{sent, programs};
    AnsweringFileDialogs dialogs;
    CountingMessageBoxes boxes;
    QWidget control;
    LiveChartModule::SetCandidates({QStringLiteral("/nonexistent/libkxrd4-chart.so")});
    ControlPage page(&control, messages, dialogs, boxes);
    LiveChartModule::SetCandidates({});

    EXPECT_EQ(page.Chart(), nullptr);
    auto* label = control.findChild<QLabel*>(QStringLiteral("Chart1Missing"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Wykres niedostępny:\n")));
    EXPECT_TRUE(label->text().contains(QStringLiteral("/nonexistent/libkxrd4-chart.so")));
    EXPECT_EQ(label->geometry(), QRect(3, 175, 526, 336));

    page.AddChartSample(100, 10);
    control.findChild<QAbstractButton*>(QStringLiteral("PlayChartButton"))->click();
    EXPECT_TRUE(page.ChartRunning());
    programs.SetLine(
        0, 0, ProgramLine{static_cast<std::uint8_t>(CommandCode::M_EN), 0, 0, 0, 0, 0, 0, 0});
    programs.SetLine(
        0, 1, ProgramLine{static_cast<std::uint8_t>(CommandCode::X_DFP), 0, 0, 0, 0, 0, 0, 0});
    const auto outcome = ProgramSimulation::Run(programs, 0, {false, false}, page.Chart());
    EXPECT_FALSE(outcome.status.isEmpty());
    EXPECT_FALSE(outcome.result.samples.empty());
}
