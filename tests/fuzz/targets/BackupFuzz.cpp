// Any bytes as a controller backup file (*.kxb), decoded as the command-line
// tool and the window decode it: an error with its line, or a backup that the
// tool writes back into a file that reads as the same backup; that file cut
// anywhere before its end never reads as a backup with less in it; and the
// comparison of the backup with itself and with an empty one holds.
#include <algorithm>
#include <string_view>

#include "BackupComparison.h"
#include "ControllerBackup.h"
#include "FuzzTargets.h"
#include "TextEncoding.h"

namespace {

bool SameBackup(const ControllerBackup& a, const ControllerBackup& b) {
    if (a.parameters != b.parameters || a.hasProgram != b.hasProgram) {
        return false;
    }
    for (int p = 0; p < ProgramCount; ++p) {
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (a.hasProgram[static_cast<std::size_t>(p)] &&
                a.programs.Line(p, l) != b.programs.Line(p, l)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

int FuzzBackup(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    std::string decodeError;
    if (!TextEncoding::ToUtf8(bytes, text, decodeError)) {
        FUZZ_CHECK(!decodeError.empty());
        return 0;
    }
    ControllerBackup backup;
    ControllerBackup::Error error;
    if (!ControllerBackup::Parse(text, backup, error)) {
        FUZZ_CHECK(!error.message.empty());
        FUZZ_CHECK(error.lineNumber >= 1);
        return 0;
    }
    const std::string written = backup.Write({"a comment", ""});
    ControllerBackup again;
    FUZZ_CHECK(ControllerBackup::Parse(written, again, error));
    FUZZ_CHECK(SameBackup(backup, again));
    for (int p = 0; p < ProgramCount; ++p) {
        FUZZ_CHECK(!again.hasProgram[static_cast<std::size_t>(p)] ||
                   again.listedLines[static_cast<std::size_t>(p)] == LinesPerProgram);
    }

    // A file of the tool's cut short: refused, unless only the last line
    // end is gone. The cut point comes from the input.
    const std::size_t cut = size == 0 ? 0 : (data[0] * 257u + data[size - 1]) % written.size();
    if (cut + 1 < written.size()) {
        ControllerBackup shorter;
        FUZZ_CHECK(
            !ControllerBackup::Parse(std::string_view(written).substr(0, cut), shorter, error));
        FUZZ_CHECK(error.lineNumber >= 1);
    }

    const BackupComparison same = BackupComparison::Compare(backup, again);
    FUZZ_CHECK(same.Same());
    FUZZ_CHECK(same.Text("a", "b").empty());
    const BackupComparison none = BackupComparison::Compare(backup, ControllerBackup());
    const std::size_t programs = static_cast<std::size_t>(
        std::count(backup.hasProgram.begin(), backup.hasProgram.end(), true));
    FUZZ_CHECK(none.OnlyInA().size() == backup.parameters.size() + programs);
    FUZZ_CHECK(none.OnlyInB().empty() && none.Differences().empty());
    FUZZ_CHECK(none.Same() == (backup.parameters.empty() && programs == 0));
    FUZZ_CHECK(!none.Json("a", "b").empty());
    return 0;
}
