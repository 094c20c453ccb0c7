#pragma once
// What handling a controller reply may do to the window. The main window
// implements it; DeviceReportProcessor acts only through it (and through the
// ControllerMessages for the next line of a transfer).

#include <cstdint>
#include <optional>
#include <string_view>

class DeviceReportSink {
public:
    // The traffic logs keep only their last lines; a memo trims itself to this.
    static constexpr int MaxLogLines = 1000;

    virtual ~DeviceReportSink() = default;

    // Memo1: one line per received report, "69 2C 01 00 00 " (ASCII).
    virtual void AppendHexLog(std::string_view line) = 0;
    // Memo2: the report's bytes up to the first zero, decoded to UTF-8.
    virtual void AppendTextLog(std::string_view utf8Line) = 0;
    // Replaces the text of status panel 0 (UTF-8). repaintNow asks for the
    // status bar to be repainted at once (after "Adres MODBUS został
    // ustawiony").
    virtual void ShowStatus(std::string_view utf8Message, bool repaintNow) = 0;
    // Writes value as signed decimal text into the edit field with this
    // objectName ("VminLabel", "VmaxLabel", "AmaxLabel", "HomeLabel",
    // "VdstLabel", "XdstLabel", "XdefLabel", "VdefLabel", "WdefLabel") and
    // gives the field the system window colour.
    virtual void SetValueField(std::string_view fieldName, std::int32_t value) = 0;
    // Selects item 0 ("NO") or 1 ("NC") of NoNc; nullopt leaves it with no
    // selection.
    virtual void SetNoNc(std::optional<int> index) = 0;
    // One sample of the live chart.
    virtual void AddChartSample(std::int32_t position, std::int32_t velocity) = 0;
    // Progress bar pb: set to 0 or 25 / advance by one.
    virtual void SetProgress(int value) = 0;
    virtual void AdvanceProgress() = 0;
    // Redraws the listing of the current program.
    virtual void RenderProgram() = 0;
    // The last line of a program read from the controller has been stored:
    // redraws the listing.
    virtual void ProgramRead(std::uint8_t program) {
        (void)program;
        RenderProgram();
    }
    // The controller reported a program stored after the last line of a
    // transfer of that program was answered.
    virtual void ProgramSent(std::uint8_t program) { (void)program; }
    // A transfer of the program got no reply within the time-out and was
    // abandoned (after its message was shown).
    virtual void TransferStalled(std::uint8_t program) { (void)program; }
};
