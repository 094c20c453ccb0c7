#pragma once
// The PDF report of kxrd4-cli record --report, with the CSV of the samples
// and a PNG of the chart beside it (FILE.csv, FILE.png). Written by the
// report library where the tool is built with Qt; a build without it says so.
// CMake picks RecordReportPdf.cpp or RecordReportNone.cpp.

#include <optional>
#include <string>

#include "LanguageChoice.h"
#include "RunReportContent.h"

class RecordReport {
public:
    // In language, else in the one the window would show for the config.ini
    // at settingsPath and this system. False with an English message when
    // nothing (or not everything) was written.
    static bool Write(const std::string& path, const RunReportContent& content,
                      std::optional<Language> language, const std::string& settingsPath,
                      std::string& error);
};
