#include "RecordReport.h"

bool RecordReport::Write(const std::string& path, const RunReportContent&, std::optional<Language>,
                         const std::string&, std::string& error) {
    error = "--report: this kxrd4-cli was built without Qt and writes no PDF reports (" + path +
            " not written); --csv writes the samples";
    return false;
}
