#include "ConfigPanel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QStyle>

#include "ControllerMessages.h"
#include "FormControls.h"
#include "NumberField.h"

const std::array<ConfigPanel::DefRow, 3> ConfigPanel::DefRows{{
    {"XdefLabel", QT_TRANSLATE_NOOP("ConfigPanel", "Pozycja definiowana DEF"), "SpeedButton5",
     "BitBtn14", -9999999, 9999999, MessageLetter::XdefRead, MessageLetter::XdefWrite},
    {"VdefLabel", QT_TRANSLATE_NOOP("ConfigPanel", "Prędkość definiowana DEF"), "SpeedButton6",
     "BitBtn15", -29999, 29999, MessageLetter::VdefRead, MessageLetter::VdefWrite},
    {"WdefLabel", QT_TRANSLATE_NOOP("ConfigPanel", "Czas definiowany DEF"), "SpeedButton7",
     "BitBtn16", 0, 99999, MessageLetter::WdefRead, MessageLetter::WdefWrite},
}};

namespace {

constexpr int DefTops[3] = {81, 129, 177};

} // namespace

ConfigPanel::ConfigPanel(QWidget* tabSheet2, ControllerMessages& messages, QObject* parent)
    : QObject(parent), messages_(messages) {
    auto* modbus = Place<QGroupBox>(tabSheet2, "GroupBox13", QRect(0, 199, 526, 98),
                                    tr("Konfiguracja MODBUS"));
    QStringList addresses;
    for (int a = 1; a <= 247; ++a) {
        addresses << QString::number(a);
    }
    modAdr_ = PlaceList(modbus, "mod_adr", QRect(24, 32, 137, 21), addresses, 0);
    connect(Place<QPushButton>(modbus, "BitBtn11", QRect(167, 32, 145, 21), tr("Nadaj adres")),
            &QPushButton::clicked, this, &ConfigPanel::BitBtn11Click);
    QStringList rates;
    for (std::int32_t rate : BaudRates) {
        rates << QString::number(rate);
    }
    modBr_ = PlaceList(modbus, "mod_br", QRect(24, 59, 137, 21), rates, 0);
    connect(Place<QPushButton>(modbus, "BitBtn12", QRect(167, 59, 145, 21), tr("Nadaj prędkość")),
            &QPushButton::clicked, this, &ConfigPanel::BitBtn12Click);

    auto* device = Place<QGroupBox>(tabSheet2, "GroupBox14", QRect(0, 303, 526, 210),
                                    tr("Konfiguracja urządzenia"));
    QStringList filters{tr("Brak filtracji")};
    filters.reserve(1000);
    for (int ms = 1; ms <= 999; ++ms) {
        filters << QString::number(ms) + QStringLiteral(" [ms]");
    }
    filtr_ = PlaceList(device, "filtr", QRect(24, 32, 134, 21), filters, 0);
    connect(Place<QPushButton>(device, "BitBtn13", QRect(164, 32, 145, 21),
                               tr("Ustaw filtrację wejść")),
            &QPushButton::clicked, this, &ConfigPanel::BitBtn13Click);

    using Handler = void (ConfigPanel::*)();
    const Handler reads[3] = {&ConfigPanel::SpeedButton5Click, &ConfigPanel::SpeedButton6Click,
                              &ConfigPanel::SpeedButton7Click};
    const Handler writes[3] = {&ConfigPanel::BitBtn14Click, &ConfigPanel::BitBtn15Click,
                               &ConfigPanel::BitBtn16Click};
    for (std::size_t i = 0; i < DefRows.size(); ++i) {
        const DefRow& row = DefRows[i];
        const ParameterRow placed =
            PlaceParameterRow(device, {DefTops[i], 21, 137, 164, 121},
                              {row.field, tr(row.caption), row.readButton, row.writeButton,
                               tr("Zapisz"), QStyle::SP_DialogSaveButton});
        placed.Connect(this, &ConfigPanel::HomeLabelChange, reads[i], writes[i]);
        fields_[i] = placed.field;
    }
}

NumberField* ConfigPanel::Field(std::string_view fieldName) const {
    return FindField(DefRows, fields_, fieldName);
}

bool ConfigPanel::SetValueField(std::string_view fieldName, std::int32_t value) {
    return ShowFieldValue(Field(fieldName), value);
}

void ConfigPanel::BitBtn11Click() {
    const int index = modAdr_->currentIndex();
    if (index >= 0 && Allowed(MessageLetter::ModbusAddress)) {
        messages_.SendByte(MessageLetter::ModbusAddress, static_cast<std::uint8_t>(index + 1));
    }
}

void ConfigPanel::BitBtn12Click() {
    const int index = modBr_->currentIndex();
    if (index >= 0 && index < static_cast<int>(BaudRates.size()) &&
        Allowed(MessageLetter::ModbusBaud)) {
        messages_.SendValue(MessageLetter::ModbusBaud, BaudRates[static_cast<std::size_t>(index)]);
    }
}

void ConfigPanel::BitBtn13Click() {
    const int index = filtr_->currentIndex();
    if (index >= 0 && Allowed(MessageLetter::InputFilter)) {
        messages_.SendValue(MessageLetter::InputFilter, index);
    }
}

void ConfigPanel::SpeedButton5Click() {
    messages_.SendRequest(MessageLetter::XdefRead);
}
void ConfigPanel::SpeedButton6Click() {
    messages_.SendRequest(MessageLetter::VdefRead);
}
void ConfigPanel::SpeedButton7Click() {
    messages_.SendRequest(MessageLetter::WdefRead);
}

void ConfigPanel::BitBtn14Click() {
    WriteDef(0);
}
void ConfigPanel::BitBtn15Click() {
    WriteDef(1);
}
void ConfigPanel::BitBtn16Click() {
    WriteDef(2);
}

void ConfigPanel::WriteDef(std::size_t row) {
    const auto value = fields_[row]->TakeClamped(DefRows[row].lower, DefRows[row].upper);
    if (value && Allowed(DefRows[row].write)) {
        messages_.SendValue(DefRows[row].write, *value);
    }
}

void ConfigPanel::HomeLabelChange() {
    if (auto* field = qobject_cast<NumberField*>(sender())) {
        field->ClearWarning();
    }
}
