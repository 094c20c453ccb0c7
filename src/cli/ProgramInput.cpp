#include "ProgramInput.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <iterator>

#include "FileAccess.h"
#include "ProgramListing.h"
#include "TextEncoding.h"

bool ProgramInput::IsProgramFileName(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string suffix = path.substr(path.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".kxp";
}

namespace {

void CopyBytes(const std::string& text, ProgramSet& set) {
    std::copy(text.begin(), text.end(), reinterpret_cast<char*>(set.Data()));
}

bool ReadBytes(const std::string& path, std::string& bytes, std::string& error) {
    switch (FileAccess::ReadWhole(path, ProgramInput::MaxBytes, bytes)) {
    case FileAccess::ReadStatus::Missing:
        error = "cannot open " + path + ": no such file";
        return false;
    case FileAccess::ReadStatus::Failed:
        error =
            "cannot read " + path + ": " + FileAccess::ReadFailure(path, ProgramInput::MaxBytes);
        return false;
    case FileAccess::ReadStatus::Ok:
        break;
    }
    return true;
}

bool Decode(const std::string& path, const std::string& bytes, std::string& text,
            std::string& error) {
    if (TextEncoding::ToUtf8(bytes, text, error)) {
        return true;
    }
    error = path + ": " + error;
    return false;
}

} // namespace

bool ProgramInput::ReadText(const std::string& path, std::string& text, std::string& error) {
    std::string bytes;
    return ReadBytes(path, bytes, error) && Decode(path, bytes, text, error);
}

bool ProgramInput::ReadText(const std::string& path, std::istream& in, std::string& text,
                            std::string& error) {
    if (path != "-") {
        return ReadText(path, text, error);
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return Decode(path, bytes, text, error);
}

bool ProgramInput::Load(const std::string& path, std::istream& in, ProgramSet& set,
                        std::string& error) {
    // The bytes as they are: a program file is never decoded as text.
    std::string bytes;
    const bool stdinListing = path == "-";
    if (stdinListing) {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (!ReadBytes(path, bytes, error)) {
        return false;
    }
    const bool fileSize = bytes.size() == static_cast<std::size_t>(ProgramSetBytes);
    if (!stdinListing && ProgramInput::IsProgramFileName(path)) {
        if (!fileSize) {
            error = path + " is not a program file: it has " + std::to_string(bytes.size()) +
                    " bytes, a program file has exactly 2000";
            return false;
        }
        CopyBytes(bytes, set);
        return true;
    }
    std::string text;
    ProgramSet parsed;
    ProgramListing::Error listingError;
    const bool decoded = Decode(path, bytes, text, error);
    if (decoded && ProgramListing::Parse(text, false, parsed, listingError)) {
        set = parsed;
        return true;
    }
    if (fileSize && !stdinListing) {
        CopyBytes(bytes, set);
        return true;
    }
    if (decoded) {
        error = path + ":" + std::to_string(listingError.lineNumber) + ": " + listingError.message;
    }
    return false;
}
