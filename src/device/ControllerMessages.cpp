#include "ControllerMessages.h"

#include <array>

#include "DeviceReportSink.h"
#include "WireInt32.h"

namespace {

bool IsProgram(int program) {
    return program >= 0 && program < ProgramCount;
}

bool IsLine(int line) {
    return line >= 0 && line < LinesPerProgram;
}

} // namespace

ControllerMessages::ControllerMessages(ReportOutput& output, const ProgramSet& programs)
    : output_(output), programs_(programs) {}

void ControllerMessages::SendRequest(MessageLetter letter) {
    output_.SendReport(LetterByte(letter), nullptr, 0);
}

void ControllerMessages::SendByte(MessageLetter letter, std::uint8_t value) {
    output_.SendReport(LetterByte(letter), &value, 1);
}

void ControllerMessages::SendValue(MessageLetter letter, std::int32_t value) {
    std::array<std::uint8_t, WireInt32::Size> payload{};
    WireInt32::Write(value, payload.data());
    output_.SendReport(LetterByte(letter), payload.data(), payload.size());
}

void ControllerMessages::SendHoming(std::int32_t value, std::uint8_t contactType) {
    std::array<std::uint8_t, WireInt32::Size + 1> payload{};
    WireInt32::Write(value, payload.data());
    payload[WireInt32::Size] = contactType;
    output_.SendReport(LetterByte(MessageLetter::HomeStart), payload.data(), payload.size());
}

void ControllerMessages::SendLine(int program, int line) {
    if (!IsProgram(program) || !IsLine(line)) {
        return;
    }
    std::array<std::uint8_t, 2 + 8> payload{};
    payload[0] = static_cast<std::uint8_t>(program);
    payload[1] = static_cast<std::uint8_t>(line);
    const std::uint8_t* bytes = programs_.LineBytes(program, line);
    for (int i = 0; i < 8; ++i) {
        payload[2 + i] = bytes[i];
    }
    output_.SendReport(LetterByte(MessageLetter::LineWrite), payload.data(), payload.size());
}

void ControllerMessages::RequestLine(int program, int line) {
    if (!IsProgram(program) || !IsLine(line)) {
        return;
    }
    const std::array<std::uint8_t, 2> payload{static_cast<std::uint8_t>(program),
                                              static_cast<std::uint8_t>(line)};
    output_.SendReport(LetterByte(MessageLetter::LineRead), payload.data(), payload.size());
}

void ControllerMessages::RunProgram(std::uint8_t program) {
    if (IsProgram(program)) {
        SendByte(MessageLetter::ProgramStart, program);
    }
}

void ControllerMessages::StopProgram(std::uint8_t program) {
    if (IsProgram(program)) {
        SendByte(MessageLetter::ProgramHalt, program);
    }
}

bool ControllerMessages::SendProgram(std::uint8_t program, DeviceReportSink& progress) {
    if (!IsProgram(program)) {
        return false;
    }
    progress.SetProgress(0);
    SendLine(program, 0);
    return true;
}

bool ControllerMessages::ReadProgram(std::uint8_t program, DeviceReportSink& progress) {
    if (!IsProgram(program)) {
        return false;
    }
    progress.SetProgress(0);
    RequestLine(program, 0);
    return true;
}
