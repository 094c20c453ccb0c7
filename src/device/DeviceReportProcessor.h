#pragma once
// Handling of one input report from the controller: hex log line, text log
// line, then the action for its letter. Takes any byte sequence; never reads
// outside it, never writes outside the program set, and sends nothing but the
// next line of a program transfer.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ControllerMessages.h"
#include "DeviceReportSink.h"
#include "ProgramSet.h"

class DeviceReportProcessor {
public:
    DeviceReportProcessor(ProgramSet& programs, ControllerMessages& messages,
                          DeviceReportSink& sink);

    // data: the bytes of the report after the report identifier (data[0] is
    // the letter); size: their count. data may be null when size is 0.
    void Process(const std::uint8_t* data, std::size_t size);

private:
    // The WireInt32 at reply bytes 2..5 into the named edit field.
    void ReadValueField(std::string_view field, const std::uint8_t* data);
    // The chains of SendProgram and ReadProgram.
    void LineWritten(std::uint8_t program, std::uint8_t line);
    void LineRead(std::uint8_t program, std::uint8_t line, const std::uint8_t* bytes,
                  std::string_view message);

    ProgramSet& programs_;
    ControllerMessages& messages_;
    DeviceReportSink& sink_;
    // The program whose last line was answered, until its ProgramStored.
    int lastLineWritten_ = NoIndex;
};
