#include "RecordingCsv.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

std::string RecordingCsv::Text(const MotionRecording& recording,
                               const RunComparison::Result* comparison) {
    std::string text = std::string(Header) + "\n";
    text.reserve(recording.samples.size() * 40 + text.size());
    const double origin = comparison != nullptr ? comparison->runStartS
                          : recording.runStart  ? recording.runStart->sentS
                                                : 0.0;
    for (std::size_t i = 0; i < recording.samples.size(); ++i) {
        const auto& s = recording.samples[i];
        char row[96];
        int n = std::snprintf(row, sizeof row, "%.4f,%d,%d", s.TimeS() - origin, s.position,
                              s.velocity);
        if (comparison != nullptr && i < comparison->predicted.size()) {
            n +=
                std::snprintf(row + n, sizeof row - static_cast<std::size_t>(n), ",%d,%d",
                              comparison->predicted[i].position, comparison->predicted[i].velocity);
        } else {
            n += std::snprintf(row + n, sizeof row - static_cast<std::size_t>(n), ",,");
        }
        text.append(row, static_cast<std::size_t>(n));
        text += '\n';
    }
    return text;
}

bool RecordingCsv::Read(std::string_view text, std::vector<Row>& rows) {
    rows.clear();
    std::size_t pos = 0;
    bool header = true;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (header) {
            if (line != Header) {
                return false;
            }
            header = false;
            continue;
        }
        if (line.empty()) {
            continue;
        }
        std::vector<std::string_view> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = line.find(',', start);
            fields.push_back(line.substr(
                start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
            if (comma == std::string_view::npos) {
                break;
            }
            start = comma + 1;
        }
        if (fields.size() != 5) {
            return false;
        }
        Row row;
        const std::string time(fields[0]);
        char* timeEnd = nullptr;
        row.timeS = std::strtod(time.c_str(), &timeEnd);
        if (time.empty() || *timeEnd != '\0') {
            return false;
        }
        auto integer = [](std::string_view field, std::int32_t& value) {
            const auto [p, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
            return !field.empty() && ec == std::errc() && p == field.data() + field.size();
        };
        if (!integer(fields[1], row.position) || !integer(fields[2], row.velocity)) {
            return false;
        }
        if (!fields[3].empty() || !fields[4].empty()) {
            std::int32_t p = 0;
            std::int32_t v = 0;
            if (!integer(fields[3], p) || !integer(fields[4], v)) {
                return false;
            }
            row.predictedPosition = p;
            row.predictedVelocity = v;
        }
        rows.push_back(row);
    }
    return !header;
}
