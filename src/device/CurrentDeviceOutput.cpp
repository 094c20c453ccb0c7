#include "CurrentDeviceOutput.h"

#include <algorithm>
#include <array>
#include <cstring>

void CurrentDeviceOutput::SendReport(std::uint8_t letter, const std::uint8_t* payload,
                                     std::size_t payloadSize) {
    const WriteResult result = Write(letter, payload, payloadSize);
    if (result == WriteResult::Written || result == WriteResult::Failed) {
        link_.WriteDone(result == WriteResult::Written);
    }
    if (observer_) {
        observer_(letter, payload, payloadSize, result);
    }
}

CurrentDeviceOutput::WriteResult CurrentDeviceOutput::Write(std::uint8_t letter,
                                                            const std::uint8_t* payload,
                                                            std::size_t payloadSize) {
    TJvHidDevice* device = link_.CurrentDevice();
    if (device == nullptr) {
        return WriteResult::NoDevice;
    }
    std::array<std::uint8_t, BufferSize> buffer{};
    const std::size_t length = device->Caps().OutputReportByteLength;
    // A shorter report cannot carry the messages, a longer one would be read
    // from beyond the buffer: nothing is written then.
    if (length < MinOutputLength || length > BufferSize) {
        return WriteResult::UnsuitableDevice;
    }
    buffer[0] = 1;
    buffer[1] = letter;
    if (payload != nullptr && payloadSize > 0) {
        std::memcpy(buffer.data() + 2, payload, std::min(payloadSize, BufferSize - 2));
    }
    std::uint32_t written = 0;
    return device->WriteReport(buffer.data(), length, written) ? WriteResult::Written
                                                               : WriteResult::Failed;
}
