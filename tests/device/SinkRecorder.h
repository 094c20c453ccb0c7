#pragma once
// Test double of the main window's side of reply handling: every call becomes
// one event text, in order; the two logs are kept apart.

#include <string>
#include <vector>

#include "DeviceReportSink.h"

class SinkRecorder : public DeviceReportSink {
public:
    void AppendHexLog(std::string_view line) override { hexLog.emplace_back(line); }
    void AppendTextLog(std::string_view line) override { textLog.emplace_back(line); }
    void ShowStatus(std::string_view message, bool repaintNow) override {
        events.push_back(std::string(repaintNow ? "status!:" : "status:") + std::string(message));
    }
    void SetValueField(std::string_view field, std::int32_t value) override {
        events.push_back("field:" + std::string(field) + "=" + std::to_string(value));
    }
    void SetNoNc(std::optional<int> index) override {
        events.push_back("nonc:" + (index ? std::to_string(*index) : std::string("none")));
    }
    void AddChartSample(std::int32_t position, std::int32_t velocity) override {
        events.push_back("chart:" + std::to_string(position) + "," + std::to_string(velocity));
    }
    void SetProgress(int value) override {
        progress = value;
        events.push_back("progress:" + std::to_string(value));
    }
    void AdvanceProgress() override {
        ++progress;
        events.push_back("advance");
    }
    void RenderProgram() override { events.push_back("render"); }

    std::vector<std::string> hexLog;
    std::vector<std::string> textLog;
    std::vector<std::string> events;
    int progress = -1; // the bar as a QProgressBar would show it (-1: never set)
};
