#pragma once
// The controller side of a backup: reads every parameter the KX-RD4 can be
// asked for and its ten programs into a ControllerBackup, and restores a
// backup (or the chosen part of it) by writing it, waiting for each program
// to be stored, reading everything written back and comparing it. Nothing is
// left out of the result: each item is verified, differs, failed or, for the
// values the controller cannot be asked for, written unverified.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ControllerBackup.h"

class ControllerSession;

class BackupSession {
public:
    explicit BackupSession(ControllerSession& session) : session_(session) {}

    // Asked before each exchange of Read and Restore (a parameter read or
    // written, a program sent or read), with the exchanges done and their
    // count. False stops the run there: Read fails with "interrupted"; Restore
    // writes nothing more and lists what it did not reach (not written: not
    // restored; written: failed, as it was not read back).
    using Progress = std::function<bool(int done, int total)>;
    void SetProgress(Progress progress) { progress_ = std::move(progress); }

    // The readable parameters and all ten programs. False with the reason at
    // the first failure.
    bool Read(ControllerBackup& backup, std::string& error);

    // Only the readable parameters (what a program's motion depends on among
    // them), without holding the controller. False with the reason at the
    // first failure.
    bool ReadParameters(ControllerBackup& backup, std::string& error);

    struct Selection {
        std::array<bool, ProgramCount> programs{};
        bool parameters = false;
        bool homing = false; // write the homing velocity and contact type (starts homing)
    };

    struct Item {
        enum class Result { Verified, Differs, Failed, Unverified, NotRestored };
        std::string name; // "vmax", "P3", "P3 line 05"
        Result result = Result::Verified;
        std::string expected; // the file's value or line
        std::string got;      // what the controller holds, or the reason of a failure
    };

    // What a restore of selection would write: the selected items of file
    // that differ from current (read from the controller), the unverifiable
    // values (always written) and the values left alone because writing them
    // moves the axis.
    static std::vector<Item> Plan(const ControllerBackup& file, const ControllerBackup& current,
                                  const Selection& selection);

    // Writes the selected parts of file, reads them back and compares. Read
    // and Restore hold the controller (ControllerSession::LockController)
    // throughout; a restore that cannot hold it, or finds the axis moving
    // (a program running), writes nothing and gives each item it would write
    // as failed, with the reason.
    std::vector<Item> Restore(const ControllerBackup& file, const Selection& selection);

    // The items a restore of selection leaves as they are because file does
    // not hold them ("vmin", "P5"): the selected programs it lacks and, when
    // parameters are selected, the parameters a restore writes that it lacks.
    static std::vector<std::string> LeftAlone(const ControllerBackup& file,
                                              const Selection& selection);

    // False when any item differs or failed (its write or its read back).
    static bool AllVerified(const std::vector<Item>& items);
    static const char* ResultText(Item::Result result);
    // The items as an aligned table with a heading line.
    static std::string Table(const std::vector<Item>& items);

private:
    // Read and Restore while the controller is held.
    bool ReadHeld(ControllerBackup& backup, std::string& error);
    std::vector<Item> RestoreHeld(const ControllerBackup& file, const Selection& selection);
    bool ReadParameter(const ControllerBackup::Key& key, ControllerBackup::Value& value,
                       std::string& error);
    bool WriteParameter(const ControllerBackup::Key& key, const ControllerBackup::Value& value,
                        std::string& error);
    // Whether selection writes key; why not in reason.
    static bool Writes(const ControllerBackup::Key& key, const Selection& selection,
                       std::string& reason);

    // Whether to go on (Progress); once stopped, stays stopped.
    bool Step();

    ControllerSession& session_;
    Progress progress_;
    int done_ = 0;
    int total_ = 0;
    bool stopped_ = false;
};
