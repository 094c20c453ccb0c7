#pragma once
// The text of a PDF as poppler's pdftotext gives it (scripts/setup.sh installs
// poppler-utils); empty when it cannot be read.

#include <cstdio>
#include <string>

inline std::string PdfText(const std::string& path) {
    std::string text;
    const std::string command = "pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null";
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return text;
}
