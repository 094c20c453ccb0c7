#include "ProgramInput.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <iterator>

#include "FileAccess.h"
#include "ProgramListing.h"

namespace {

bool IsProgramFileName(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string suffix = path.substr(path.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".kxp";
}

void CopyBytes(const std::string& text, ProgramSet& set) {
    std::copy(text.begin(), text.end(), reinterpret_cast<char*>(set.Data()));
}

} // namespace

bool ProgramInput::ReadText(const std::string& path, std::string& text, std::string& error) {
    switch (FileAccess::ReadWhole(path, MaxBytes, text)) {
    case FileAccess::ReadStatus::Missing:
        error = "cannot open " + path + ": no such file";
        return false;
    case FileAccess::ReadStatus::Failed:
        error = "cannot read " + path + ": not a readable file of at most 1 MiB";
        return false;
    case FileAccess::ReadStatus::Ok:
        break;
    }
    return true;
}

bool ProgramInput::Load(const std::string& path, std::istream& in, ProgramSet& set,
                        std::string& error) {
    std::string text;
    const bool stdinListing = path == "-";
    if (stdinListing) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (!ReadText(path, text, error)) {
        return false;
    }
    const bool fileSize = text.size() == static_cast<std::size_t>(ProgramSetBytes);
    if (!stdinListing && IsProgramFileName(path)) {
        if (!fileSize) {
            error = path + " is not a program file: it has " + std::to_string(text.size()) +
                    " bytes, a program file has exactly 2000";
            return false;
        }
        CopyBytes(text, set);
        return true;
    }
    ProgramSet parsed;
    ProgramListing::Error listingError;
    if (ProgramListing::Parse(text, false, parsed, listingError)) {
        set = parsed;
        return true;
    }
    if (fileSize && !stdinListing) {
        CopyBytes(text, set);
        return true;
    }
    error = path + ":" + std::to_string(listingError.lineNumber) + ": " + listingError.message;
    return false;
}
