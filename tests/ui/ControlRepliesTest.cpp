// Controller replies, handled by the report processor, fill the two pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QTabWidget>
#include <algorithm>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "ConfigPanel.h"
#include "ControlFakes.h"
#include "ControlPage.h"
#include "ControllerMessages.h"
#include "DeviceReportProcessor.h"
#include "LiveChart.h"
#include "NumberField.h"
#include "ProgramSet.h"
#include <qcustomplot.h>

namespace {

// What the main window forwards to the pages.
class PagesSink : public DeviceReportSink {
public:
    PagesSink(ControlPage& control, ConfigPanel& config) : control_(control), config_(config) {}
    void AppendHexLog(std::string_view) override {}
    void AppendTextLog(std::string_view) override {}
    void ShowStatus(std::string_view, bool) override {}
    void SetValueField(std::string_view name, std::int32_t value) override {
        if (!control_.SetValueField(name, value) && !config_.SetValueField(name, value)) {
            unknown.emplace_back(name);
        }
    }
    void SetNoNc(std::optional<int> index) override { control_.SetNoNc(index); }
    void AddChartSample(std::int32_t p, std::int32_t v) override { control_.AddChartSample(p, v); }
    void SetProgress(int) override {}
    void AdvanceProgress() override {}
    void RenderProgram() override {}
    std::vector<std::string> unknown;

private:
    ControlPage& control_;
    ConfigPanel& config_;
};

class ControlRepliesTest : public ::testing::Test {
protected:
    void Reply(std::vector<std::uint8_t> data) {
        data.resize(64, 0); // the rest of an input report
        processor_.Process(data.data(), data.size());
    }
    QString Text(const char* name) {
        return pages_.findChild<NumberField*>(QString::fromLatin1(name))->text();
    }

    ProgramSet programs_;
    SentReports sent_;
    ControllerMessages messages_{sent_, programs_};
    AnsweringFileDialogs dialogs_;
    CountingMessageBoxes boxes_;
    QTabWidget pages_;
    QWidget* control_ = new QWidget(&pages_);
    QWidget* options_ = new QWidget(&pages_);
    ControlPage controlPage_{control_, messages_, dialogs_, boxes_};
    ConfigPanel configPanel_{options_, messages_};
    PagesSink sink_{controlPage_, configPanel_};
    DeviceReportProcessor processor_{programs_, messages_, sink_};
};

TEST_F(ControlRepliesTest, ValueRepliesFillTheirFields) {
    const std::tuple<std::uint8_t, std::vector<std::uint8_t>, const char*, const char*> cases[] = {
        {0x69, {0x2C, 0x01, 0x00, 0x00}, "VminLabel", "300"},
        {0x6A, {0xFF, 0xFF, 0xFF, 0xFF}, "VmaxLabel", "-1"},
        {0x6B, {0x00, 0x00, 0x00, 0x80}, "AmaxLabel", "-2147483648"},
        {0x6D, {0xFF, 0xFF, 0xFF, 0x7F}, "VdstLabel", "2147483647"},
        {0x6E, {0x81, 0x69, 0x67, 0xFF}, "XdstLabel", "-9999999"},
        {0x81, {0x01, 0x00, 0x00, 0x00}, "XdefLabel", "1"},
        {0x82, {0xD1, 0x8A, 0xFF, 0xFF}, "VdefLabel", "-29999"},
        {0x83, {0x9F, 0x86, 0x01, 0x00}, "WdefLabel", "99999"},
    };
    for (const auto& [letter, value, field, text] : cases) {
        std::vector<std::uint8_t> data{letter};
        data.insert(data.end(), value.begin(), value.end());
        Reply(data);
        EXPECT_EQ(Text(field), QString::fromLatin1(text)) << field;
    }
    EXPECT_TRUE(sink_.unknown.empty());
    EXPECT_TRUE(sent_.reports.empty());
}

TEST_F(ControlRepliesTest, HomeReadSetsValueAndContactType) {
    QComboBox* noNc = control_->findChild<QComboBox*>(QStringLiteral("NoNc"));
    Reply({0x6C, 0x2C, 0x01, 0x00, 0x00, 0x01});
    EXPECT_EQ(Text("HomeLabel"), QStringLiteral("300"));
    EXPECT_EQ(noNc->currentIndex(), 1);
    Reply({0x6C, 0x9C, 0xFF, 0xFF, 0xFF, 0x00});
    EXPECT_EQ(Text("HomeLabel"), QStringLiteral("-100"));
    EXPECT_EQ(noNc->currentIndex(), 0);
    Reply({0x6C, 0x00, 0x00, 0x00, 0x00, 0x02});
    EXPECT_EQ(noNc->currentIndex(), -1);
}

TEST_F(ControlRepliesTest, StatusPollRepliesAreChartSamples) {
    Reply({0x79, 0x18, 0xFC, 0xFF, 0xFF, 0xE8, 0x03, 0x00, 0x00});
    LiveChart* chart = controlPage_.Chart();
    ASSERT_EQ(chart->KeptCount(), 1);
    EXPECT_EQ(chart->Series1()->data()->at(0)->value, -1000);
    EXPECT_EQ(chart->Series2()->data()->at(0)->value, 1000);
    EXPECT_EQ(chart->SampleCounter(), 1);
}

// An independent reading of the accepted syntax, for the sweep below.
std::optional<std::int64_t> Reference(const std::string& text) {
    static const std::regex syntax(R"(^ *([+-]?)(?:([0-9]+)|(?:\$|x|X|0x|0X)([0-9a-fA-F]+))$)");
    std::smatch m;
    if (!std::regex_match(text, m, syntax)) {
        return std::nullopt;
    }
    const bool hex = m[3].matched;
    const std::string digits = hex ? m[3].str() : m[2].str();
    if (digits.size() > 12) {
        return std::nullopt;
    }
    std::int64_t v = std::stoll(digits, nullptr, hex ? 16 : 10);
    if (m[1] == "-") {
        v = -v;
    }
    if (v < INT32_MIN || v > INT32_MAX) {
        return std::nullopt;
    }
    return v;
}

TEST_F(ControlRepliesTest, AnyShortTextSendsOneClampedValueOrWarns) {
    struct Field {
        const char* name;
        const char* button;
        std::int64_t lower, upper;
        std::uint8_t letter;
    } fields[] = {
        {"VminLabel", "WriteVminButton", 0, 29999, 0x6F},
        {"VmaxLabel", "WriteVmaxButton", 0, 29999, 0x70},
        {"AmaxLabel", "WriteAmaxButton", 0, 29999, 0x71},
        {"VdstLabel", "WriteVdstButton", -29999, 29999, 0x73},
        {"XdstLabel", "WriteXdstButton", -9999999, 9999999, 0x74},
        {"HomeLabel", "WriteHomeButton", -29999, 29999, 0x72},
        {"XdefLabel", "BitBtn14", -9999999, 9999999, 0x84},
        {"VdefLabel", "BitBtn15", -29999, 29999, 0x85},
        {"WdefLabel", "BitBtn16", 0, 99999, 0x86},
    };
    // Pieces that make numbers and near-numbers; "ł" stands for any letter
    // outside ASCII.
    const std::vector<std::string> pieces{"0", "1", "7", "9", "$", "x", "X",         "0x",
                                          "-", "+", " ", "a", "F", "ł", "2147483648"};
    std::mt19937 random(20261207);
    for (const Field& f : fields) {
        auto* field = pages_.findChild<NumberField*>(QString::fromLatin1(f.name));
        auto* button = pages_.findChild<QAbstractButton*>(QString::fromLatin1(f.button));
        ASSERT_NE(button, nullptr);
        for (int round = 0; round < 400; ++round) {
            std::string typed;
            const int count = static_cast<int>(random() % 6);
            for (int k = 0; k < count; ++k) {
                typed += pieces[random() % pieces.size()];
            }
            // What the field keeps: at most 8 characters.
            const QString kept = QString::fromStdString(typed).left(8);
            sent_.reports.clear();
            field->selectAll();
            field->insert(QString::fromStdString(typed));
            ASSERT_EQ(field->text(), kept);
            button->click();

            const auto expected = Reference(kept.toStdString());
            SCOPED_TRACE(std::string(f.name) + " <- [" + kept.toStdString() + "]");
            if (!expected) {
                EXPECT_TRUE(sent_.reports.empty());
                EXPECT_TRUE(field->IsWarned());
                EXPECT_EQ(field->text(), kept);
                continue;
            }
            const std::int64_t clamped = std::clamp(*expected, f.lower, f.upper);
            ASSERT_EQ(sent_.reports.size(), 1u);
            const auto& r = sent_.reports[0];
            EXPECT_EQ(r[1], f.letter);
            const auto value = static_cast<std::int32_t>(r[2] | r[3] << 8 | r[4] << 16 |
                                                         static_cast<std::uint32_t>(r[5]) << 24);
            EXPECT_EQ(value, clamped);
            EXPECT_EQ(field->text(), QString::number(clamped));
            EXPECT_FALSE(field->IsWarned());
        }
    }
}

} // namespace
