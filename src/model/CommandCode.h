#pragma once
// The 26 commands of a motion program, their mnemonics and operand layouts.

#include <cstdint>

constexpr int CommandCount = 26;
// Added to the command byte of an X_DST line whose target is positive.
constexpr int PositiveTargetOffset = 100;

enum class CommandCode : std::uint8_t {
    Empty = 0,
    V_MAX,
    V_MIN,
    A_MAX,
    M_EN,
    M_DIS,
    V_DST,
    X_DST,
    HOME,
    BRAKE,
    STOP,
    CLR_P,
    S_CNT,
    S_OUT,
    J_LIN,
    J_CNT,
    J_INP,
    PROG,
    W_TIM,
    W_INP,
    END,
    X_DFP,
    X_DFM,
    V_DFP,
    V_DFM,
    W_DEF
};

enum class OperandLayout : std::uint8_t {
    NoOperand,
    Digits5,
    SignedDigits5,
    SignedDigits7,
    Homing,
    IoState,
    LineTarget,
    LineIfInput,
    ProgramTarget
};

// The operand layout of a code 0..25.
OperandLayout OperandLayoutOf(int code);
