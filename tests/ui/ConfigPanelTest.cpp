#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "ConfigPanel.h"
#include "ControlFakes.h"
#include "ControllerMessages.h"
#include "NumberField.h"
#include "ProgramSet.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ConfigPanelTest : public ::testing::Test {
protected:
    void SetUp() override { panel_ = std::make_unique<ConfigPanel>(&options_, messages_); }

    NumberField* Field(const char* name) {
        return options_.findChild<NumberField*>(QString::fromLatin1(name));
    }
    QAbstractButton* Button(const char* name) {
        return options_.findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QComboBox* List(const char* name) {
        return options_.findChild<QComboBox*>(QString::fromLatin1(name));
    }
    // The first n bytes of the only report, and whether all bytes after them are 0.
    Bytes Head(std::size_t n) {
        if (sent_.reports.size() != 1) {
            return {};
        }
        const auto& r = sent_.reports[0];
        for (std::size_t i = n; i < r.size(); ++i) {
            if (r[i] != 0) {
                return {};
            }
        }
        return sent_.Only(n);
    }

    ProgramSet programs_;
    SentReports sent_;
    ControllerMessages messages_{sent_, programs_};
    QWidget options_;
    std::unique_ptr<ConfigPanel> panel_;
};

TEST_F(ConfigPanelTest, ModbusAddressIsOneByte) {
    QComboBox* address = List("mod_adr");
    ASSERT_EQ(address->count(), 247);
    EXPECT_EQ(address->currentText(), QStringLiteral("1"));
    for (const auto& [index, byte] : {std::pair{246, 0xF7}, std::pair{0, 0x01}}) {
        sent_.reports.clear();
        address->setCurrentIndex(index);
        Button("BitBtn11")->click();
        EXPECT_EQ(Head(3), (Bytes{0x01, 0x7E, static_cast<std::uint8_t>(byte)}));
    }
}

TEST_F(ConfigPanelTest, ModbusBaudSendsTheRateItself) {
    QComboBox* rates = List("mod_br");
    EXPECT_EQ(rates->currentText(), QStringLiteral("19200"));
    const std::pair<int, Bytes> cases[] = {
        {0, {0x01, 0x7F, 0x00, 0x4B, 0x00, 0x00}},
        {1, {0x01, 0x7F, 0x00, 0x96, 0x00, 0x00}},
        {2, {0x01, 0x7F, 0x00, 0xE1, 0x00, 0x00}},
        {3, {0x01, 0x7F, 0x00, 0xC2, 0x01, 0x00}},
    };
    for (const auto& [index, bytes] : cases) {
        sent_.reports.clear();
        rates->setCurrentIndex(index);
        EXPECT_EQ(rates->currentText().toInt(), ConfigPanel::BaudRates[std::size_t(index)]);
        Button("BitBtn12")->click();
        EXPECT_EQ(Head(6), bytes) << index;
    }
}

TEST_F(ConfigPanelTest, InputFilterSendsTheItemIndex) {
    QComboBox* filter = List("filtr");
    ASSERT_EQ(filter->count(), 1000);
    EXPECT_EQ(filter->itemText(0), QStringLiteral("Brak filtracji"));
    EXPECT_EQ(filter->itemText(1), QStringLiteral("1 [ms]"));
    EXPECT_EQ(filter->itemText(999), QStringLiteral("999 [ms]"));
    EXPECT_EQ(filter->currentIndex(), 0);
    const std::pair<int, Bytes> cases[] = {
        {0, {0x01, 0x80, 0x00, 0x00, 0x00, 0x00}},
        {25, {0x01, 0x80, 0x19, 0x00, 0x00, 0x00}},
        {999, {0x01, 0x80, 0xE7, 0x03, 0x00, 0x00}},
    };
    for (const auto& [index, bytes] : cases) {
        sent_.reports.clear();
        filter->setCurrentIndex(index);
        Button("BitBtn13")->click();
        EXPECT_EQ(Head(6), bytes) << index;
    }
    EXPECT_EQ(filter->itemText(25), QStringLiteral("25 [ms]"));
}

TEST_F(ConfigPanelTest, DefWritesClampOrWarn) {
    struct Case {
        const char* field;
        const char* button;
        const char* typed;
        const char* shown;
        Bytes head; // empty: nothing sent
    } cases[] = {
        {"WdefLabel", "BitBtn16", "-3", "0", {0x01, 0x86, 0x00, 0x00, 0x00, 0x00}},
        {"WdefLabel", "BitBtn16", "123456", "99999", {0x01, 0x86, 0x9F, 0x86, 0x01, 0x00}},
        {"VdefLabel", "BitBtn15", "30000", "29999", {0x01, 0x85, 0x2F, 0x75, 0x00, 0x00}},
        {"VdefLabel", "BitBtn15", "-30000", "-29999", {0x01, 0x85, 0xD1, 0x8A, 0xFF, 0xFF}},
        {"XdefLabel", "BitBtn14", "12x", "12x", {}},
        {"XdefLabel", "BitBtn14", "-9999999", "-9999999", {0x01, 0x84, 0x81, 0x69, 0x67, 0xFF}},
        {"XdefLabel", "BitBtn14", "$FF", "255", {0x01, 0x84, 0xFF, 0x00, 0x00, 0x00}},
        {"WdefLabel", "BitBtn16", "1 ", "1 ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- " + c.typed);
        sent_.reports.clear();
        NumberField* field = Field(c.field);
        field->selectAll();
        field->insert(QString::fromUtf8(c.typed));
        Button(c.button)->click();
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(field->IsWarned(), c.head.empty());
        if (c.head.empty()) {
            EXPECT_TRUE(sent_.reports.empty());
        } else {
            EXPECT_EQ(Head(6), c.head);
        }
    }
}

TEST_F(ConfigPanelTest, DefReadsAndTheirReplies) {
    const std::tuple<const char*, std::uint8_t, const char*> cases[] = {
        {"SpeedButton5", 0x81, "XdefLabel"},
        {"SpeedButton6", 0x82, "VdefLabel"},
        {"SpeedButton7", 0x83, "WdefLabel"},
    };
    for (const auto& [button, letter, field] : cases) {
        sent_.reports.clear();
        Button(button)->click();
        EXPECT_EQ(Head(2), (Bytes{0x01, letter})) << button;

        // a warned field is cleared by the reply, and any 32-bit value fits
        NumberField* f = Field(field);
        f->setText(QStringLiteral("?"));
        f->MarkWarning();
        EXPECT_TRUE(panel_->SetValueField(field, INT32_MIN));
        EXPECT_EQ(f->text(), QStringLiteral("-2147483648"));
        EXPECT_FALSE(f->IsWarned());
    }
    EXPECT_FALSE(panel_->SetValueField("VminLabel", 1));
}

TEST_F(ConfigPanelTest, BoxesStandWhereTheFormPutsThem) {
    struct Case {
        const char* name;
        QRect geometry;
        const char* caption;
    } cases[] = {
        {"GroupBox13", {0, 199, 526, 98}, "Konfiguracja MODBUS"},
        {"GroupBox14", {0, 303, 526, 210}, "Konfiguracja urządzenia"},
        {"mod_adr", {24, 32, 137, 21}, nullptr},
        {"BitBtn11", {167, 32, 145, 21}, "Nadaj adres"},
        {"mod_br", {24, 59, 137, 21}, nullptr},
        {"BitBtn12", {167, 59, 145, 21}, "Nadaj prędkość"},
        {"filtr", {24, 32, 134, 21}, nullptr},
        {"BitBtn13", {164, 32, 145, 21}, "Ustaw filtrację wejść"},
        {"XdefLabel", {21, 81, 137, 24}, nullptr},
        {"SpeedButton5", {164, 81, 25, 25}, ""},
        {"BitBtn14", {188, 81, 121, 25}, "Zapisz"},
        {"VdefLabel", {21, 129, 137, 24}, nullptr},
        {"SpeedButton6", {164, 129, 25, 25}, ""},
        {"BitBtn15", {188, 129, 121, 25}, "Zapisz"},
        {"WdefLabel", {21, 177, 137, 24}, nullptr},
        {"SpeedButton7", {164, 177, 25, 25}, ""},
        {"BitBtn16", {188, 177, 121, 25}, "Zapisz"},
    };
    for (const auto& c : cases) {
        auto* w = options_.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
        if (auto* box = qobject_cast<QGroupBox*>(w)) {
            EXPECT_EQ(box->title(), QString::fromUtf8(c.caption));
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_EQ(b->text(), QString::fromUtf8(c.caption)) << c.name;
        }
    }
    for (const auto& row : ConfigPanel::DefRows) {
        auto* caption = options_.findChild<QLabel*>(QString::fromLatin1(row.field) + "Caption");
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(Field(row.field)->maxLength(), 8);
    }
}

} // namespace
