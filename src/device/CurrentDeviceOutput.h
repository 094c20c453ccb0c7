#pragma once
// SendReport over the device link: writes each report to the link's current
// device, nothing when there is none or when its output report length cannot
// carry the messages (below 12 or above 256 bytes). The link is told whether
// each write went through, so a failing device is not shown as connected.

#include <functional>

#include "DeviceLink.h"
#include "ReportOutput.h"

class CurrentDeviceOutput : public ReportOutput {
public:
    static constexpr std::size_t BufferSize = 256;
    static constexpr std::size_t MinOutputLength = 12;

    using WriteResult = ReportWriteResult;
    // Told of every report after the attempt to write it (letter, payload).
    using WriteObserver = std::function<void(std::uint8_t letter, const std::uint8_t* payload,
                                             std::size_t payloadSize, WriteResult result)>;
    void SetWriteObserver(WriteObserver observer) { observer_ = std::move(observer); }

    explicit CurrentDeviceOutput(DeviceLink& link) : link_(link) {}
    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override;

private:
    WriteResult Write(std::uint8_t letter, const std::uint8_t* payload, std::size_t payloadSize);

    DeviceLink& link_;
    WriteObserver observer_;
};
