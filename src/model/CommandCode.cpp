#include "CommandCode.h"

#include <array>

namespace {

// Operand layout of each command, in code order.
constexpr std::array<OperandLayout, CommandCount> Layouts = {
    OperandLayout::NoOperand,     // 0  *****
    OperandLayout::Digits5,       // 1  V_MAX
    OperandLayout::Digits5,       // 2  V_MIN
    OperandLayout::Digits5,       // 3  A_MAX
    OperandLayout::NoOperand,     // 4  M_EN
    OperandLayout::NoOperand,     // 5  M_DIS
    OperandLayout::SignedDigits5, // 6  V_DST
    OperandLayout::SignedDigits7, // 7  X_DST
    OperandLayout::Homing,        // 8  HOME
    OperandLayout::NoOperand,     // 9  BRAKE
    OperandLayout::NoOperand,     // 10 STOP
    OperandLayout::NoOperand,     // 11 CLR_P
    OperandLayout::Digits5,       // 12 S_CNT
    OperandLayout::IoState,       // 13 S_OUT
    OperandLayout::LineTarget,    // 14 J_LIN
    OperandLayout::LineTarget,    // 15 J_CNT
    OperandLayout::LineIfInput,   // 16 J_INP
    OperandLayout::ProgramTarget, // 17 PROG
    OperandLayout::Digits5,       // 18 W_TIM
    OperandLayout::IoState,       // 19 W_INP
    OperandLayout::NoOperand,     // 20 END
    OperandLayout::NoOperand,     // 21 X_DF+
    OperandLayout::NoOperand,     // 22 X_DF-
    OperandLayout::NoOperand,     // 23 V_DF+
    OperandLayout::NoOperand,     // 24 V_DF-
    OperandLayout::NoOperand,     // 25 W_DEF
};

} // namespace

OperandLayout OperandLayoutOf(int code) {
    // A code outside the table has no operands: nothing is read beyond it.
    if (code < 0 || code >= CommandCount) {
        return OperandLayout::NoOperand;
    }
    return Layouts[static_cast<std::size_t>(code)];
}
