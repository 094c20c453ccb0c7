#pragma once
// What differs between two controller backups (a controller read now, a
// backup file, a program file): parameter by parameter and program line by
// program line. Only what both hold is compared; what one of them lacks is
// counted as not compared.

#include <string>
#include <vector>

#include "ControllerBackup.h"

class BackupComparison {
public:
    struct Difference {
        std::string key; // a parameter's key, or empty for a program line
        int program = -1;
        int line = -1;
        std::string a; // the value or line as the first backup holds it
        std::string b;
    };

    static BackupComparison Compare(const ControllerBackup& a, const ControllerBackup& b);

    const std::vector<Difference>& Differences() const { return differences_; }
    // The items ("vmax", "P5") only the first or only the second holds.
    const std::vector<std::string>& OnlyInA() const { return onlyInA_; }
    const std::vector<std::string>& OnlyInB() const { return onlyInB_; }
    bool Same() const { return differences_.empty() && onlyInA_.empty() && onlyInB_.empty(); }
    int ComparedParameters() const { return comparedParameters_; }
    int ComparedPrograms() const { return comparedPrograms_; }

    // "P3 line 05" or "vmax".
    static std::string ItemName(const Difference& difference);
    // A program line as a backup holds it: its text, " | ", its eight bytes.
    static std::string LineText(const ProgramSet& set, int program, int line);

    // In the manner of diff -u: "--- aName", "+++ bName", then per parameter
    // and per program line "-" the first's, "+" the second's, after what
    // only one holds ("only in aName: P5, P6", "no [parameters] in bName");
    // nothing at all when the two are the same.
    std::string Text(const std::string& aName, const std::string& bName) const;
    // "2 differences, 5 items only in one": the findings counted.
    std::string Summary() const;
    // One JSON object: {"same":..., "a":..., "b":..., "onlyInA":[...],
    // "onlyInB":[...], "differences":[{"item", "parameter" or
    // "program"/"line", "a", "b"}...]}.
    std::string Json(const std::string& aName, const std::string& bName) const;

private:
    std::vector<Difference> differences_;
    std::vector<std::string> onlyInA_;
    std::vector<std::string> onlyInB_;
    // Whether each holds any parameter, any program.
    bool aParameters_ = false;
    bool bParameters_ = false;
    bool aPrograms_ = false;
    bool bPrograms_ = false;
    int comparedParameters_ = 0;
    int comparedPrograms_ = 0;
};
