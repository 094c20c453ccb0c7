#include "CommandCode.h"

OperandLayout OperandLayoutOf(int) { return OperandLayout::NoOperand; }
