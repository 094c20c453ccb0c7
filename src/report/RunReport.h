#pragma once
// The report of a recorded run as a PDF of two A4 pages, with the CSV of the
// samples (FILE.csv) and a PNG of the chart (FILE.png) beside it. Page 1:
// date, tool version, controller, verdict, cycle times, parameters and the
// chart; page 2: the figures of the comparison, the program listing with the
// check's findings. Every file is replaced whole or left as it was.
//
// Needs a QGuiApplication for its fonts; EnsureApplication makes one on the
// offscreen platform where none runs (the command-line tool).

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include "RunReportContent.h"

class RunReport {
    Q_DECLARE_TR_FUNCTIONS(RunReport)

public:
    // Writes the PDF at pdfPath and the CSV and PNG beside it (the name
    // without ".pdf" plus ".csv" and ".png"), in the language of
    // RunReportText. False with the reason when a file could not be written.
    static bool Write(const QString& pdfPath, const RunReportContent& content, QString& error);
    // The chart alone as a picture.
    static QImage ChartImage(const RunReportContent& content, QSize size = {1600, 1000});
    // The CSV and PNG paths that go with a PDF path.
    static QString CompanionPath(const QString& pdfPath, const QString& suffix);
    // A QGuiApplication for the fonts, on the offscreen platform, when none
    // exists; kept to the end of the process.
    static void EnsureApplication();
};
