#pragma once
// Handling of one input report from the controller: hex log line, text log
// line, then the action for its letter. Takes any byte sequence; never reads
// outside it, never writes outside the program set, and sends nothing but the
// next line of a program transfer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ControllerMessages.h"
#include "DeviceReportSink.h"
#include "ProgramSet.h"
#include "ReplyTimeouts.h"
#include "Translatable.h"

class DeviceReportProcessor {
public:
    // Milliseconds of a steady clock (only differences matter).
    using Clock = std::function<std::int64_t()>;

    // The status text of the reply with this letter (empty for a reply
    // without one): the window shows it translated (KX_TRANSLATABLE).
    static std::string_view ReplyText(std::uint8_t letter);
    // A transfer that stalled at a line: this text and the line's two digits.
    static constexpr const char* StalledLine =
        KX_TRANSLATABLE("DeviceReportProcessor", "Brak odpowiedzi sterownika: linia ");

    // Without a clock, the steady clock.
    DeviceReportProcessor(ProgramSet& programs, ControllerMessages& messages,
                          DeviceReportSink& sink, Clock clock = {});

    // data: the bytes of the report after the report identifier (data[0] is
    // the letter); size: their count. data may be null when size is 0.
    void Process(const std::uint8_t* data, std::size_t size);

    // Told of every report written (or not) to the controller: the first line
    // of a transfer starts its time-outs, a StatusPoll awaits an answer.
    void RequestWritten(std::uint8_t letter, const std::uint8_t* payload, std::size_t payloadSize,
                        ReportWriteResult result);
    // Called now and then (the window's timer): reports through the sink
    // what has become overdue; a read back that stalls puts the program's
    // lines back as they were before it. device identifies the selected device (null
    // for none); when it changes, nothing is awaited any more.
    void CheckTimeouts(const void* device);
    ReplyTimeouts& Timeouts() { return timeouts_; }

private:
    // A message for status panel 0 and the text log.
    void Report(const std::string& text);
    // The WireInt32 at reply bytes 2..5 into the named edit field.
    void ReadValueField(std::string_view field, const std::uint8_t* data);
    // The chains of SendProgram and ReadProgram.
    void LineWritten(std::uint8_t program, std::uint8_t line);
    void LineRead(std::uint8_t program, std::uint8_t line, const std::uint8_t* bytes,
                  std::string_view message);

    ProgramSet& programs_;
    ControllerMessages& messages_;
    DeviceReportSink& sink_;
    Clock clock_;
    ReplyTimeouts timeouts_;
    const void* device_ = nullptr;
    std::array<std::uint8_t, ProgramBytes> beforeRead_{}; // the program a read back replaces
    // The program whose last line was answered, until its ProgramStored.
    int lastLineWritten_ = NoIndex;
};
