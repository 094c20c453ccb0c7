#pragma once
// The senders of the controller messages. Each builds exactly one report and
// hands it to the ReportOutput (the selected device, or nothing when none is
// selected); none waits for a reply.

#include <cstdint>

#include "MessageLetter.h"
#include "ProgramSet.h"
#include "ReportOutput.h"

class DeviceReportSink;

class ControllerMessages {
public:
    // The set is read at the moment a line is sent.
    ControllerMessages(ReportOutput& output, const ProgramSet& programs);

    // The letter alone: VminRead..XdstRead, EnableOn..StatusPoll,
    // XdefRead..WdefRead.
    void SendRequest(MessageLetter letter);
    // The letter and one byte at byte 2: ProgramStart/ProgramHalt (program
    // number), ModbusAddress (1..247).
    void SendByte(MessageLetter letter, std::uint8_t value);
    // The letter and a WireInt32 at bytes 2..5: the writes, the jog steps,
    // ModbusBaud (the baud rate itself) and InputFilter (ms, 0 = none).
    void SendValue(MessageLetter letter, std::int32_t value);
    // HomeStart: the velocity at bytes 2..5 and the contact type (0 = "NO",
    // 1 = "NC") at byte 6.
    void SendHoming(std::int32_t value, std::uint8_t contactType);
    // LineWrite: program at byte 2, line at byte 3, the 8 bytes of that line of
    // the set at bytes 4..11. Nothing is sent for a program outside 0..9 or a
    // line outside 0..24.
    void SendLine(int program, int line);
    // LineRead: program at byte 2, line at byte 3. Nothing is sent for a
    // program outside 0..9 or a line outside 0..24.
    void RequestLine(int program, int line);
    // ProgramStart / ProgramHalt with the program number; nothing when the
    // program is not 0..9 (NoIndex: no current program).
    void RunProgram(std::uint8_t program);
    void StopProgram(std::uint8_t program);

    // Start of the program transfers ("Wyślij program", and "Odczytaj program"
    // after the operator has confirmed). With no current program (anything but
    // 0..9) nothing happens and false is returned. Otherwise the progress bar
    // goes to 0 through the sink, line 0 is sent (LineWrite) or requested
    // (LineRead), and true is returned; the replies carry the chain on
    // (DeviceReportProcessor).
    bool SendProgram(std::uint8_t program, DeviceReportSink& progress);
    bool ReadProgram(std::uint8_t program, DeviceReportSink& progress);

private:
    ReportOutput& output_;
    const ProgramSet& programs_;
};
