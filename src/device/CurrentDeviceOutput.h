#pragma once
// SendReport over the device link: writes each report to the link's current
// device, nothing when there is none or when its output report length cannot
// carry the messages (below 12 or above 256 bytes).

#include "DeviceLink.h"
#include "ReportOutput.h"

class CurrentDeviceOutput : public ReportOutput {
public:
    static constexpr std::size_t BufferSize = 256;
    static constexpr std::size_t MinOutputLength = 12;

    explicit CurrentDeviceOutput(const DeviceLink& link) : link_(link) {}
    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override;

private:
    const DeviceLink& link_;
};
