#pragma once
// Where the message senders write their reports: the selected device, or
// nothing when no device is selected. The device link implements it over
// SendReport; tests implement it with a recorder.

#include <cstddef>
#include <cstdint>

// What became of one report handed to the selected device.
enum class ReportWriteResult : std::uint8_t {
    Written,
    NoDevice,         // none is selected
    UnsuitableDevice, // its output reports cannot carry the messages
    Failed,           // the write failed
};

class ReportOutput {
public:
    virtual ~ReportOutput() = default;
    // Builds the report in a zeroed 256-byte buffer (byte 0 = report id 1,
    // byte 1 = letter, payload from byte 2 on) and writes the device's output
    // report length of it. Does nothing when no device is selected; the
    // result of the write is ignored.
    virtual void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                            std::size_t payloadSize) = 0;
};
