#include "DeviceReportProcessor.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "MessageLetter.h"
#include "Translatable.h"
#include "Windows1250.h"
#include "WireInt32.h"

namespace {

enum class ReplyKind : std::uint8_t {
    Message,        // status message only
    MessageRepaint, // status message, status bar repainted at once
    Stored,         // ProgramStored: message, progress bar to 25
    ValueField,     // WireInt32 at bytes 2..5 into an edit field, message
    HomeField,      // as ValueField, plus the contact type into NoNc
    ChartSample,    // position and velocity into the live chart
    LineWriteReply, // next line of SendProgram
    LineReadReply,  // store the line, next line of ReadProgram
};

struct ReplyRule {
    ReplyKind kind;
    // Data bytes (the letter included) the handling reads; a shorter reply is
    // only logged.
    std::size_t needed;
    std::string_view field;
    std::string_view message;
};

// Indexed by letter - FirstMessageLetter.
constexpr std::array<ReplyRule, MessageLetterCount> Rules = {{
    {ReplyKind::LineWriteReply, 3, {}, {}}, // 0x64 LineWrite
    {ReplyKind::LineReadReply,
     11,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Program został odczytany z pamieci wewnetrznej urządzenia")}, // 0x65 LineRead
    {ReplyKind::Stored,
     1,
     {},
     KX_TRANSLATABLE(
         "DeviceReportProcessor",
         "Program został zapisany do pamięci wewnetrznej urządzenia")}, // 0x66 ProgramStored
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Program z pamięci wewnętrznej został uruchomiony")}, // 0x67 ProgramStart
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Program z pamięci wewnętrznej  został zatrzymany")}, // 0x68 ProgramHalt
    {ReplyKind::ValueField, 5, "VminLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość minimalna została odczytana")}, // 0x69 VminRead
    {ReplyKind::ValueField, 5, "VmaxLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość maksymalna została odczytana")}, // 0x6A VmaxRead
    {ReplyKind::ValueField, 5, "AmaxLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Przyspieszenie maksymalne zostalo odczytane")}, // 0x6B AmaxRead
    {ReplyKind::HomeField, 6, "HomeLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość bazowania została odczytana")}, // 0x6C HomeRead
    {ReplyKind::ValueField, 5, "VdstLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość zadana została odczytana")}, // 0x6D VdstRead
    {ReplyKind::ValueField, 5, "XdstLabel",
     KX_TRANSLATABLE("DeviceReportProcessor", "Pozycja zadana została odczytana")}, // 0x6E XdstRead
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość minimalna został zapisana")}, // 0x6F VminWrite
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość maksymalna została zapisana")}, // 0x70 VmaxWrite
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Przyspieszenie maksymalne zostało zapiane")}, // 0x71 AmaxWrite
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor", "Bazowanie zostało rozpoczęte")}, // 0x72 HomeStart
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor", "Prędkość zadana została ustawiona")}, // 0x73 VdstSet
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor", "Pozycja zadana została ustawiona")}, // 0x74 XdstSet
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Sygnał ENABLE został ustawiony w stan aktywny")}, // 0x75 EnableOn
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Sygnał ENABLE został ustawiony w stan nieaktywny")}, // 0x76 EnableOff
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor", "Rozpoczeto hamowanie silnika")}, // 0x77 MotorStop
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor", "Silnik został zatrzymany")}, // 0x78 MotorBrake
    {ReplyKind::ChartSample, 9, {}, {}},                                    // 0x79 StatusPoll
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość silnika została zwiększona")}, // 0x7A VelocityUp
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość silnika została zmniejszona")}, // 0x7B VelocityDown
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Pozycja silnika została zmniejszona")}, // 0x7C PositionDown
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Pozycja silnika została zwiększona")}, // 0x7D PositionUp
    {ReplyKind::MessageRepaint,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Adres MODBUS został ustawiony")}, // 0x7E ModbusAddress
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość MODBUS została ustawiona")}, // 0x7F ModbusBaud
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Filtracja wejść została ustawiona")}, // 0x80 InputFilter
    {ReplyKind::ValueField, 5, "XdefLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Pozycja definiowana została odczytana")}, // 0x81 XdefRead
    {ReplyKind::ValueField, 5, "VdefLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość definiowana została odczytana")}, // 0x82 VdefRead
    {ReplyKind::ValueField, 5, "WdefLabel",
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Czas definiowany został odczytany")}, // 0x83 WdefRead
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Pozycja definiowana została zapisana")}, // 0x84 XdefWrite
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor",
                     "Prędkość definiowana została zapisana")}, // 0x85 VdefWrite
    {ReplyKind::Message,
     1,
     {},
     KX_TRANSLATABLE("DeviceReportProcessor", "Czas definiowany został zapiany")}, // 0x86 WdefWrite
}};

constexpr std::uint8_t ProgramLastLine = LinesPerProgram - 1;

constexpr std::string_view SilentText =
    KX_TRANSLATABLE("DeviceReportProcessor", "Sterownik nie odpowiada");

std::string StalledText(int line) {
    if (line == ReplyTimeouts::StoredLine) {
        return KX_TRANSLATABLE(
            "DeviceReportProcessor",
            "Brak odpowiedzi sterownika: zapis programu nie został potwierdzony");
    }
    return std::string(DeviceReportProcessor::StalledLine) + (line < 10 ? "0" : "") +
           std::to_string(line);
}

// Whole sentences, so that each is translated as one.
std::string NotStartedText(bool send, ReportWriteResult why) {
    switch (why) {
    case ReportWriteResult::NoDevice:
        return send ? KX_TRANSLATABLE("DeviceReportProcessor",
                                      "Nie można wysłać programu: brak połączenia ze sterownikiem")
                    : KX_TRANSLATABLE(
                          "DeviceReportProcessor",
                          "Nie można odczytać programu: brak połączenia ze sterownikiem");
    case ReportWriteResult::UnsuitableDevice:
        return send
                   ? KX_TRANSLATABLE("DeviceReportProcessor",
                                     "Nie można wysłać programu: urządzenie nie przyjmuje raportów "
                                     "tej długości")
                   : KX_TRANSLATABLE("DeviceReportProcessor",
                                     "Nie można odczytać programu: urządzenie nie przyjmuje "
                                     "raportów tej długości");
    case ReportWriteResult::Failed:
    case ReportWriteResult::Written:
        break;
    }
    return send ? KX_TRANSLATABLE("DeviceReportProcessor",
                                  "Nie można wysłać programu: zapis do urządzenia nie powiódł się")
                : KX_TRANSLATABLE(
                      "DeviceReportProcessor",
                      "Nie można odczytać programu: zapis do urządzenia nie powiódł się");
}

std::string HexLine(const std::uint8_t* data, std::size_t size) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        text.push_back(Digits[data[i] >> 4]);
        text.push_back(Digits[data[i] & 0x0F]);
        text.push_back(' ');
    }
    return text;
}

std::string TextLine(const std::uint8_t* data, std::size_t size) {
    std::size_t length = 0;
    while (length < size && data[length] != 0) {
        ++length;
    }
    return Windows1250::ToUtf8(data, length);
}

} // namespace

DeviceReportProcessor::DeviceReportProcessor(ProgramSet& programs, ControllerMessages& messages,
                                             DeviceReportSink& sink, Clock clock)
    : programs_(programs), messages_(messages), sink_(sink), clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
}

void DeviceReportProcessor::RequestWritten(std::uint8_t letter, const std::uint8_t* payload,
                                           std::size_t payloadSize, ReportWriteResult result) {
    const bool lineWrite = letter == static_cast<std::uint8_t>(MessageLetter::LineWrite);
    const bool lineRead = letter == static_cast<std::uint8_t>(MessageLetter::LineRead);
    // A transfer's first request: program at payload byte 0, line 0 at byte 1.
    const bool transferStart =
        (lineWrite || lineRead) && payload != nullptr && payloadSize >= 2 && payload[1] == 0;
    if (result != ReportWriteResult::Written) {
        if (transferStart) {
            Report(NotStartedText(lineWrite, result));
        }
        return;
    }
    if (transferStart) {
        timeouts_.TransferStarted(lineWrite ? ReplyTimeouts::Transfer::Send
                                            : ReplyTimeouts::Transfer::Read,
                                  payload[0], clock_());
        if (lineRead && payload[0] < ProgramCount) {
            // Kept so that a read back that stalls leaves the program as it was.
            std::copy_n(programs_.LineBytes(payload[0], 0), ProgramBytes, beforeRead_.begin());
        }
    } else if (letter == static_cast<std::uint8_t>(MessageLetter::StatusPoll)) {
        timeouts_.PollWritten(clock_());
    }
}

std::string_view DeviceReportProcessor::ReplyText(std::uint8_t letter) {
    if (letter < FirstMessageLetter || letter > LastMessageLetter) {
        return {};
    }
    return Rules[letter - FirstMessageLetter].message;
}

void DeviceReportProcessor::Report(const std::string& text) {
    sink_.ShowStatus(text, false);
    sink_.AppendTextLog(text);
}

void DeviceReportProcessor::CheckTimeouts(const void* device) {
    if (device != device_) {
        // Only a device that was selected can have been written to: what it
        // was sent is no longer awaited when it goes or is replaced.
        if (device_ != nullptr) {
            timeouts_.Reset();
        }
        device_ = device;
    }
    for (const ReplyTimeouts::Event& e : timeouts_.Check(clock_())) {
        switch (e.kind) {
        case ReplyTimeouts::Event::Kind::TransferStalled:
            if (e.transfer == ReplyTimeouts::Transfer::Read && e.program >= 0 &&
                e.program < ProgramCount) {
                std::copy(beforeRead_.begin(), beforeRead_.end(),
                          programs_.LineBytes(e.program, 0));
            }
            sink_.SetProgress(0);
            Report(StalledText(e.line));
            sink_.TransferStalled(static_cast<std::uint8_t>(e.program));
            break;
        case ReplyTimeouts::Event::Kind::Silent:
            sink_.ShowStatus(SilentText, false);
            break;
        }
    }
}

void DeviceReportProcessor::Process(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) {
        size = 0;
    }
    sink_.AppendHexLog(HexLine(data, size));
    sink_.AppendTextLog(TextLine(data, size));
    if (size > 0 && timeouts_.ReportReceived(clock_())) {
        sink_.ShowStatus({}, false); // "Sterownik nie odpowiada" no longer holds
    }
    if (size == 0 || data[0] < FirstMessageLetter || data[0] > LastMessageLetter) {
        return;
    }
    const ReplyRule& rule = Rules[data[0] - FirstMessageLetter];
    if (size < rule.needed) {
        return;
    }
    switch (rule.kind) {
    case ReplyKind::Message:
        sink_.ShowStatus(rule.message, false);
        break;
    case ReplyKind::MessageRepaint:
        sink_.ShowStatus(rule.message, true);
        break;
    case ReplyKind::Stored:
        timeouts_.Stored(clock_());
        sink_.ShowStatus(rule.message, false);
        sink_.SetProgress(LinesPerProgram);
        if (lastLineWritten_ != NoIndex) {
            sink_.ProgramSent(static_cast<std::uint8_t>(lastLineWritten_));
            lastLineWritten_ = NoIndex;
        }
        break;
    case ReplyKind::ValueField:
        ReadValueField(rule.field, data);
        sink_.ShowStatus(rule.message, false);
        break;
    case ReplyKind::HomeField: {
        ReadValueField(rule.field, data);
        // Contact type: 0 = "NO", 1 = "NC"; anything else leaves no selection.
        const std::uint8_t contact = data[5];
        sink_.SetNoNc(contact <= 1 ? std::optional<int>(contact) : std::nullopt);
        sink_.ShowStatus(rule.message, false);
        break;
    }
    case ReplyKind::ChartSample:
        sink_.AddChartSample(WireInt32::Read(data + 1), WireInt32::Read(data + 5));
        break;
    case ReplyKind::LineWriteReply:
        LineWritten(data[1], data[2]);
        break;
    case ReplyKind::LineReadReply:
        LineRead(data[1], data[2], data + 3, rule.message);
        break;
    }
}

void DeviceReportProcessor::ReadValueField(std::string_view field, const std::uint8_t* data) {
    sink_.SetValueField(field, WireInt32::Read(data + 1));
}

void DeviceReportProcessor::LineWritten(std::uint8_t program, std::uint8_t line) {
    // A reply naming no line of the set is only logged.
    if (program >= ProgramCount || line > ProgramLastLine) {
        return;
    }
    // A late reply to a transfer abandoned after its time-out is only logged.
    if (!timeouts_.LineReplied(ReplyTimeouts::Transfer::Send, program, line, clock_())) {
        return;
    }
    if (line < ProgramLastLine) {
        messages_.SendLine(program, line + 1);
        sink_.AdvanceProgress();
        lastLineWritten_ = NoIndex;
    } else {
        lastLineWritten_ = program;
    }
}

void DeviceReportProcessor::LineRead(std::uint8_t program, std::uint8_t line,
                                     const std::uint8_t* bytes, std::string_view message) {
    if (program >= ProgramCount || line > ProgramLastLine) {
        return;
    }
    if (!timeouts_.LineReplied(ReplyTimeouts::Transfer::Read, program, line, clock_())) {
        return;
    }
    // The reply's program and line, not the request's.
    std::copy_n(bytes, 8, programs_.LineBytes(program, line));
    if (line < ProgramLastLine) {
        messages_.RequestLine(program, line + 1);
        sink_.AdvanceProgress();
    } else {
        sink_.ShowStatus(message, false);
        sink_.ProgramRead(program);
        sink_.SetProgress(LinesPerProgram);
    }
}
