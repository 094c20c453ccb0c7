#include "RecordReport.h"

#include <QString>

#include "RunReport.h"
#include "ToolLanguage.h"

bool RecordReport::Write(const std::string& path, const RunReportContent& content,
                         std::optional<Language> language, const std::string& settingsPath,
                         std::string& error) {
    RunReport::EnsureApplication();
    if (!ToolLanguage::Install(
            language ? *language : ToolLanguage::Decide(QString::fromStdString(settingsPath)))) {
        error = "--report: the English translation could not be loaded (nothing written)";
        return false;
    }
    QString reason;
    if (!RunReport::Write(QString::fromStdString(path), content, reason)) {
        error = "--report: " + reason.toStdString();
        return false;
    }
    return true;
}
