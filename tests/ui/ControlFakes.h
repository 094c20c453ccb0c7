#pragma once
// Stand-ins for the device and the dialogs in the control page tests.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "ReportOutput.h"

// Builds each report as the device link does (zeroed 256 bytes, report id 1,
// letter, payload) and keeps them.
class SentReports : public ReportOutput {
public:
    using Report = std::array<std::uint8_t, 256>;

    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override {
        Report r{};
        r[0] = 1;
        r[1] = letter;
        if (payloadSize > 0) {
            std::memcpy(r.data() + 2, payload, payloadSize);
        }
        reports.push_back(r);
    }

    // The first n bytes of the only report sent (empty when not exactly one).
    std::vector<std::uint8_t> Only(std::size_t n = 12) const {
        if (reports.size() != 1) {
            return {};
        }
        return {reports[0].begin(), reports[0].begin() + static_cast<std::ptrdiff_t>(n)};
    }

    std::vector<Report> reports;
};

class AnsweringFileDialogs : public FileDialogs {
public:
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString& title, const QString&, const QString&) override {
        titles << title;
        return answer;
    }
    QString answer;
    QStringList titles;
};

class CountingMessageBoxes : public MessageBoxes {
public:
    QMessageBox::StandardButton Show(QMessageBox::Icon, const QString&, const QString& text,
                                     QMessageBox::StandardButtons) override {
        texts << text;
        return QMessageBox::Ok;
    }
    QStringList texts;
};
