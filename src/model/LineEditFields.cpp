#include "LineEditFields.h"

namespace {

int ItemFor(std::uint8_t byte, int items) {
    return byte < items ? byte : LineEditFields::NoItem;
}

} // namespace

LineEditFields::Used LineEditFields::UsedBy(int c) {
    Used used;
    if (c < 0 || c >= CommandCount) {
        return used;
    }
    switch (OperandLayoutOf(c)) {
    case OperandLayout::NoOperand:
        break;
    case OperandLayout::Digits5:
    case OperandLayout::SignedDigits5:
    case OperandLayout::SignedDigits7:
        used.number = true;
        break;
    case OperandLayout::Homing:
        used.number = used.noNc = true;
        break;
    case OperandLayout::IoState:
        used.inOut = used.onOff = true;
        break;
    case OperandLayout::LineTarget:
        used.line = true;
        break;
    case OperandLayout::LineIfInput:
        used.line = used.inOut = used.onOff = true;
        break;
    case OperandLayout::ProgramTarget:
        used.prog = true;
        break;
    }
    return used;
}

int LineEditFields::OpeningCode(std::uint8_t commandByte) {
    int c = commandByte;
    if (c >= PositiveTargetOffset) {
        c -= PositiveTargetOffset;
    }
    return c < CommandCount ? c : 0;
}

void LineEditFields::FillFrom(const ProgramLine& stored, int c) {
    if (c < 0 || c >= CommandCount) {
        return;
    }
    const OperandLayout layout = OperandLayoutOf(c);
    switch (layout) {
    case OperandLayout::NoOperand:
        break;
    case OperandLayout::Digits5:
    case OperandLayout::SignedDigits5:
    case OperandLayout::SignedDigits7:
        number = NumberText(stored, layout);
        break;
    case OperandLayout::Homing:
        number = NumberText(stored, OperandLayout::SignedDigits5);
        noNc = ItemFor(stored[7], NoNcItems);
        break;
    case OperandLayout::IoState:
        inOut = ItemFor(stored[1], InOutItems);
        onOff = ItemFor(stored[2], OnOffItems);
        break;
    case OperandLayout::LineTarget:
        line = ItemFor(stored[1], LineItems);
        break;
    case OperandLayout::LineIfInput:
        line = ItemFor(stored[1], LineItems);
        inOut = ItemFor(stored[2], InOutItems);
        onOff = ItemFor(stored[3], OnOffItems);
        break;
    case OperandLayout::ProgramTarget:
        prog = ItemFor(stored[1], ProgItems);
        break;
    }
}
