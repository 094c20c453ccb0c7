#include "MnemonicTable.h"

#include "CommandCode.h"

namespace {

// 26 records of six bytes: five characters and the terminating zero.
constexpr char Mnemonics[CommandCount][6] = {
    "*****", "V_MAX", "V_MIN", "A_MAX", "M_EN ", "M_DIS", "V_DST", "X_DST", "HOME ",
    "BRAKE", "STOP ", "CLR_P", "S_CNT", "S_OUT", "J_LIN", "J_CNT", "J_INP", "PROG ",
    "W_TIM", "W_INP", "END  ", "X_DF+", "X_DF-", "V_DF+", "V_DF-", "W_DEF",
};

// Returned for a code outside the table, so that a caller breaking the
// precondition still never reads outside it.
constexpr char Unknown[6] = "?????";

} // namespace

const char* MnemonicTable::Mnemonic(int code) {
    if (code < 0 || code >= CommandCount) {
        return Unknown;
    }
    return Mnemonics[code];
}
