#pragma once
// Test double of the device link's report output: builds each report the way
// the link does (zeroed 256-byte buffer, report id 1, letter, payload) and
// keeps the output-report-length prefix that would be written.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "ReportOutput.h"

class ReportRecorder : public ReportOutput {
public:
    using Report = std::vector<std::uint8_t>;

    explicit ReportRecorder(std::size_t outputLength = 65) : outputLength_(outputLength) {}

    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override {
        if (!connected) {
            return;
        }
        std::array<std::uint8_t, 256> buffer{};
        buffer[0] = 1;
        buffer[1] = letter;
        std::copy_n(payload, std::min<std::size_t>(payloadSize, buffer.size() - 2),
                    buffer.begin() + 2);
        reports.emplace_back(buffer.begin(), buffer.begin() + outputLength_);
    }

    bool connected = true;
    std::vector<Report> reports;

private:
    std::size_t outputLength_;
};
