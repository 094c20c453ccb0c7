#include "CommandFiles.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <vector>

#include "CommandFailure.h"
#include "FileAccess.h"
#include "ProgramFile.h"
#include "ProgramInput.h"

bool CommandFiles::LoadProgramFile(const std::string& path, ProgramSet& set, bool missingOk) {
    std::vector<std::uint8_t> bytes;
    switch (FileAccess::ReadPrefix(path, ProgramSetBytes + 1, bytes)) {
    case FileAccess::ReadStatus::Missing:
        if (missingOk) {
            return false;
        }
        throw CommandFailure{"cannot open " + path + ": no such file"};
    case FileAccess::ReadStatus::Failed:
        throw CommandFailure{"cannot read " + path + ": " +
                             FileAccess::ReadFailure(path, ProgramSetBytes)};
    case FileAccess::ReadStatus::Ok:
        break;
    }
    if (bytes.size() != static_cast<std::size_t>(ProgramSetBytes)) {
        throw CommandFailure{path + " is not a program file: it has " +
                             (bytes.size() > static_cast<std::size_t>(ProgramSetBytes)
                                  ? std::string("more than 2000")
                                  : std::to_string(bytes.size())) +
                             " bytes, a program file has exactly 2000"};
    }
    std::copy(bytes.begin(), bytes.end(), set.Data());
    return true;
}

void CommandFiles::SaveProgramFile(const std::string& path, const ProgramSet& set) {
    if (!WriteProgramFile(path, set)) {
        throw CommandFailure{"cannot write " + path + " (it is left as it was)"};
    }
}

std::string CommandFiles::ReadText(const std::string& path) {
    std::string text;
    std::string error;
    if (!ProgramInput::ReadText(path, std::cin, text, error)) {
        throw CommandFailure{error};
    }
    return text;
}
