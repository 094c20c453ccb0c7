#pragma once
// What the report of a recorded run shows (the window's "Raport z
// uruchomienia…" and kxrd4-cli record --report): the controller, the program
// with its check's findings, the parameters read before the run, the
// recording and its comparison with the prediction. Everything is borrowed
// from the caller for the time of the writing.

#include <cstdint>
#include <string>
#include <vector>

#include "ControllerBackup.h"
#include "MotionRecording.h"
#include "ProgramCheck.h"
#include "ProgramSet.h"
#include "RunComparison.h"

struct RunReportContent {
    std::string toolVersion;
    std::string serial; // empty when the controller has none
    std::string port;
    std::string path;
    bool emulated = false; // the demo's or --emulator's controller
    const ProgramSet* programs = nullptr;
    int program = 0;
    std::vector<ProgramCheck::Finding> findings;
    const ControllerBackup* parameters = nullptr;
    const MotionRecording* recording = nullptr;
    const RunComparison::Result* comparison = nullptr;
    double tolerance = 10;
};
