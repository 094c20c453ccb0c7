#pragma once
// The controller's own configuration on the page "Opcje" (TabSheet2): the
// boxes "Konfiguracja MODBUS" (address and baud rate) and "Konfiguracja
// urządzenia" (input filter and the three DEF values). The address, the baud
// rate and the filter are write-only; the DEF values are read and written.

#include <QObject>
#include <array>
#include <cstdint>
#include <string_view>

#include <functional>

#include "MessageLetter.h"

class ControllerMessages;
class NumberField;
class QComboBox;
class QWidget;

class ConfigPanel : public QObject {
    Q_OBJECT
public:
    struct DefRow {
        const char* field;
        const char* caption;
        const char* readButton;
        const char* writeButton;
        std::int32_t lower;
        std::int32_t upper;
        MessageLetter read;
        MessageLetter write;
    };
    static const std::array<DefRow, 3> DefRows;
    // mod_br item index -> the baud rate sent.
    static constexpr std::array<std::int32_t, 4> BaudRates{19200, 38400, 57600, 115200};

    // Builds GroupBox13 and GroupBox14 inside tabSheet2.
    ConfigPanel(QWidget* tabSheet2, ControllerMessages& messages, QObject* parent = nullptr);

    // The value of a DEF read reply; false when the field is not on this panel.
    bool SetValueField(std::string_view fieldName, std::int32_t value);
    NumberField* Field(std::string_view fieldName) const;
    // Asked before each write of the panel; false: nothing is sent.
    void SetGuard(std::function<bool(MessageLetter letter)> guard) { guard_ = std::move(guard); }

public slots:
    void BitBtn11Click(); // "Nadaj adres"
    void BitBtn12Click(); // "Nadaj prędkość"
    void BitBtn13Click(); // "Ustaw filtrację wejść"
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void BitBtn14Click();
    void BitBtn15Click();
    void BitBtn16Click();
    // The change handler of the DEF fields: back to the window colour.
    void HomeLabelChange();

private:
    void WriteDef(std::size_t row);

    ControllerMessages& messages_;
    std::function<bool(MessageLetter)> guard_;
    bool Allowed(MessageLetter letter) const { return !guard_ || guard_(letter); }
    QComboBox* modAdr_;
    QComboBox* modBr_;
    QComboBox* filtr_;
    std::array<NumberField*, 3> fields_{};
};
