#include "ConfigPanel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "ControllerMessages.h"
#include "NumberField.h"

const std::array<ConfigPanel::DefRow, 3> ConfigPanel::DefRows{{
    {"XdefLabel", "Pozycja definiowana DEF", "SpeedButton5", "BitBtn14", -9999999, 9999999,
     MessageLetter::XdefRead, MessageLetter::XdefWrite},
    {"VdefLabel", "Prędkość definiowana DEF", "SpeedButton6", "BitBtn15", -29999, 29999,
     MessageLetter::VdefRead, MessageLetter::VdefWrite},
    {"WdefLabel", "Czas definiowany DEF", "SpeedButton7", "BitBtn16", 0, 99999,
     MessageLetter::WdefRead, MessageLetter::WdefWrite},
}};

namespace {

constexpr int DefTops[3] = {81, 129, 177};

QComboBox* MakeList(const char* name, const QStringList& items, QWidget* parent, int x, int y,
                    int w, int h) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(x, y, w, h);
    list->addItems(items);
    list->setCurrentIndex(0);
    return list;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent, int x, int y,
                        int w, int h) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, y, w, h);
    return button;
}

} // namespace

ConfigPanel::ConfigPanel(QWidget* tabSheet2, ControllerMessages& messages, QObject* parent)
    : QObject(parent), messages_(messages) {
    auto* modbus = new QGroupBox(QStringLiteral("Konfiguracja MODBUS"), tabSheet2);
    modbus->setObjectName(QStringLiteral("GroupBox13"));
    modbus->setGeometry(0, 199, 526, 98);
    QStringList addresses;
    for (int a = 1; a <= 247; ++a) {
        addresses << QString::number(a);
    }
    modAdr_ = MakeList("mod_adr", addresses, modbus, 24, 32, 137, 21);
    connect(MakeButton("BitBtn11", QStringLiteral("Nadaj adres"), modbus, 167, 32, 145, 21),
            &QPushButton::clicked, this, &ConfigPanel::BitBtn11Click);
    QStringList rates;
    for (std::int32_t rate : BaudRates) {
        rates << QString::number(rate);
    }
    modBr_ = MakeList("mod_br", rates, modbus, 24, 59, 137, 21);
    connect(MakeButton("BitBtn12", QStringLiteral("Nadaj prędkość"), modbus, 167, 59, 145, 21),
            &QPushButton::clicked, this, &ConfigPanel::BitBtn12Click);

    auto* device = new QGroupBox(QStringLiteral("Konfiguracja urządzenia"), tabSheet2);
    device->setObjectName(QStringLiteral("GroupBox14"));
    device->setGeometry(0, 303, 526, 210);
    QStringList filters{QStringLiteral("Brak filtracji")};
    filters.reserve(1000);
    for (int ms = 1; ms <= 999; ++ms) {
        filters << QString::number(ms) + QStringLiteral(" [ms]");
    }
    filtr_ = MakeList("filtr", filters, device, 24, 32, 134, 21);
    connect(
        MakeButton("BitBtn13", QStringLiteral("Ustaw filtrację wejść"), device, 164, 32, 145, 21),
        &QPushButton::clicked, this, &ConfigPanel::BitBtn13Click);

    using Handler = void (ConfigPanel::*)();
    const Handler reads[3] = {&ConfigPanel::SpeedButton5Click, &ConfigPanel::SpeedButton6Click,
                              &ConfigPanel::SpeedButton7Click};
    const Handler writes[3] = {&ConfigPanel::BitBtn14Click, &ConfigPanel::BitBtn15Click,
                               &ConfigPanel::BitBtn16Click};
    for (std::size_t i = 0; i < DefRows.size(); ++i) {
        const DefRow& row = DefRows[i];
        const int top = DefTops[i];
        auto* field = new NumberField(QString::fromLatin1(row.field), device);
        field->setGeometry(21, top, 137, 24);
        auto* caption = new QLabel(QString::fromUtf8(row.caption), device);
        caption->setObjectName(field->objectName() + QStringLiteral("Caption"));
        caption->setBuddy(field);
        caption->adjustSize();
        caption->move(field->x(), field->y() - caption->height() - 3);
        connect(field, &QLineEdit::textChanged, this, &ConfigPanel::HomeLabelChange);
        fields_[i] = field;

        auto* read = new QToolButton(device);
        read->setObjectName(QString::fromLatin1(row.readButton));
        read->setGeometry(164, top, 25, 25);
        read->setIcon(read->style()->standardIcon(QStyle::SP_BrowserReload));
        connect(read, &QToolButton::clicked, this, reads[i]);

        QPushButton* write =
            MakeButton(row.writeButton, QStringLiteral("Zapisz"), device, 188, top, 121, 25);
        write->setIcon(write->style()->standardIcon(QStyle::SP_DialogSaveButton));
        write->setLayoutDirection(Qt::RightToLeft); // image to the right of the caption
        connect(write, &QPushButton::clicked, this, writes[i]);
    }
}

NumberField* ConfigPanel::Field(std::string_view fieldName) const {
    for (std::size_t i = 0; i < DefRows.size(); ++i) {
        if (fieldName == DefRows[i].field) {
            return fields_[i];
        }
    }
    return nullptr;
}

bool ConfigPanel::SetValueField(std::string_view fieldName, std::int32_t value) {
    NumberField* field = Field(fieldName);
    if (field == nullptr) {
        return false;
    }
    field->ShowValue(value);
    return true;
}

void ConfigPanel::BitBtn11Click() {
    const int index = modAdr_->currentIndex();
    if (index >= 0) {
        messages_.SendByte(MessageLetter::ModbusAddress, static_cast<std::uint8_t>(index + 1));
    }
}

void ConfigPanel::BitBtn12Click() {
    const int index = modBr_->currentIndex();
    if (index >= 0 && index < static_cast<int>(BaudRates.size())) {
        messages_.SendValue(MessageLetter::ModbusBaud, BaudRates[static_cast<std::size_t>(index)]);
    }
}

void ConfigPanel::BitBtn13Click() {
    const int index = filtr_->currentIndex();
    if (index >= 0) {
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
    if (const auto value = fields_[row]->TakeClamped(DefRows[row].lower, DefRows[row].upper)) {
        messages_.SendValue(DefRows[row].write, *value);
    }
}

void ConfigPanel::HomeLabelChange() {
    if (auto* field = qobject_cast<NumberField*>(sender())) {
        field->ClearWarning();
    }
}
