#include "TextFile.h"

#include "FileAccess.h"

bool TextFile::Write(const std::string& path, std::string_view text) {
    const std::string_view lineEnd = FileAccess::NativeLineEnd();
    std::string content;
    content.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            content += lineEnd;
        } else {
            content += c;
        }
    }
    return FileAccess::WriteAtomically(path, content.data(), content.size());
}
