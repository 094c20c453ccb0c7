#include "ParameterTable.h"

#include "Translatable.h"

const std::vector<ParameterTable::Parameter>& ParameterTable::All() {
    using L = MessageLetter;
    static const std::vector<Parameter> parameters = {
        {"vmin", KX_TRANSLATABLE("ParameterTable", "Prędkość minimalna"), Kind::Field, L::VminRead,
         L::VminWrite, 0, 29999},
        {"vmax", KX_TRANSLATABLE("ParameterTable", "Prędkość maksymalna"), Kind::Field, L::VmaxRead,
         L::VmaxWrite, 0, 29999},
        {"amax", KX_TRANSLATABLE("ParameterTable", "Przyspieszenie maksymalne"), Kind::Field,
         L::AmaxRead, L::AmaxWrite, 0, 29999},
        {"vdst", KX_TRANSLATABLE("ParameterTable", "Prędkość zadana"), Kind::Field, L::VdstRead,
         L::VdstSet, -29999, 29999},
        {"xdst", KX_TRANSLATABLE("ParameterTable", "Pozycja zadana"), Kind::Field, L::XdstRead,
         L::XdstSet, -9999999, 9999999},
        {"home", KX_TRANSLATABLE("ParameterTable", "Prędkość bazowania"), Kind::Homing, L::HomeRead,
         L::HomeStart, -29999, 29999},
        {"xdef", KX_TRANSLATABLE("ParameterTable", "Pozycja definiowana DEF"), Kind::Field,
         L::XdefRead, L::XdefWrite, -9999999, 9999999},
        {"vdef", KX_TRANSLATABLE("ParameterTable", "Prędkość definiowana DEF"), Kind::Field,
         L::VdefRead, L::VdefWrite, -29999, 29999},
        {"wdef", KX_TRANSLATABLE("ParameterTable", "Czas definiowany DEF"), Kind::Field,
         L::WdefRead, L::WdefWrite, 0, 99999},
        {"modbus-address", KX_TRANSLATABLE("ParameterTable", "Konfiguracja MODBUS: adres"),
         Kind::Address, std::nullopt, L::ModbusAddress, 1, 247},
        {"modbus-baud", KX_TRANSLATABLE("ParameterTable", "Konfiguracja MODBUS: prędkość"),
         Kind::Baud, std::nullopt, L::ModbusBaud, 19200, 115200},
        {"input-filter", KX_TRANSLATABLE("ParameterTable", "Filtracja wejść [ms]"), Kind::Filter,
         std::nullopt, L::InputFilter, 0, 999},
    };
    return parameters;
}

const ParameterTable::Parameter* ParameterTable::Find(std::string_view name) {
    for (const Parameter& p : All()) {
        if (p.name == name) {
            return &p;
        }
    }
    return nullptr;
}

bool ParameterTable::IsListValue(const Parameter& parameter, std::int32_t value) {
    if (parameter.kind == Kind::Baud) {
        return value == 19200 || value == 38400 || value == 57600 || value == 115200;
    }
    return value >= parameter.min && value <= parameter.max;
}
