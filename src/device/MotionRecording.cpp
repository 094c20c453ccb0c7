#include "MotionRecording.h"

#include <algorithm>

double MotionRecording::Rate() const {
    if (samples.size() < 2) {
        return 0;
    }
    const double span = samples.back().receivedS - samples.front().receivedS;
    return span > 0 ? static_cast<double>(samples.size() - 1) / span : 0;
}

double MotionRecording::LongestGapS() const {
    double longest = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        longest = std::max(longest, samples[i].receivedS - samples[i - 1].receivedS);
    }
    return longest;
}

const char* MotionRecording::EndText(End end) {
    switch (end) {
    case End::Running:
        return "running";
    case End::ProgramEnded:
        return "program ended";
    case End::Stopped:
        return "stopped";
    case End::TimeLimit:
        return "time limit";
    case End::NoAnswer:
        return "no answer";
    }
    return "running";
}
