#pragma once
// The message letter at byte 1 of every report exchanged with the controller.
// A reply carries the letter of the request it answers; ProgramStored is the
// only letter the tool receives without sending it.

#include <cstdint>

enum class MessageLetter : std::uint8_t {
    LineWrite = 0x64,     // 'd'
    LineRead = 0x65,      // 'e'
    ProgramStored = 0x66, // 'f'
    ProgramStart = 0x67,  // 'g'
    ProgramHalt = 0x68,   // 'h'
    VminRead = 0x69,      // 'i'
    VmaxRead = 0x6A,      // 'j'
    AmaxRead = 0x6B,      // 'k'
    HomeRead = 0x6C,      // 'l'
    VdstRead = 0x6D,      // 'm'
    XdstRead = 0x6E,      // 'n'
    VminWrite = 0x6F,     // 'o'
    VmaxWrite = 0x70,     // 'p'
    AmaxWrite = 0x71,     // 'q'
    HomeStart = 0x72,     // 'r'
    VdstSet = 0x73,       // 's'
    XdstSet = 0x74,       // 't'
    EnableOn = 0x75,      // 'u'
    EnableOff = 0x76,     // 'v'
    MotorStop = 0x77,     // 'w'
    MotorBrake = 0x78,    // 'x'
    StatusPoll = 0x79,    // 'y'
    VelocityUp = 0x7A,    // 'z'
    VelocityDown = 0x7B,  // '{'
    PositionDown = 0x7C,  // '|'
    PositionUp = 0x7D,    // '}'
    ModbusAddress = 0x7E, // '~'
    ModbusBaud = 0x7F,
    InputFilter = 0x80,
    XdefRead = 0x81,
    VdefRead = 0x82,
    WdefRead = 0x83,
    XdefWrite = 0x84,
    VdefWrite = 0x85,
    WdefWrite = 0x86,
};

constexpr std::uint8_t FirstMessageLetter = 0x64;
constexpr std::uint8_t LastMessageLetter = 0x86;
constexpr int MessageLetterCount = LastMessageLetter - FirstMessageLetter + 1;
static_assert(MessageLetterCount == 35);

constexpr std::uint8_t LetterByte(MessageLetter letter) {
    return static_cast<std::uint8_t>(letter);
}
