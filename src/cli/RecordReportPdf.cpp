#include "RecordReport.h"

#include <QString>

#include "RunReport.h"

bool RecordReport::Write(const std::string& path, const RunReportContent& content,
                         std::string& error) {
    QString reason;
    if (!RunReport::Write(QString::fromStdString(path), content, reason)) {
        error = "--report: " + reason.toStdString();
        return false;
    }
    return true;
}
