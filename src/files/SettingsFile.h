#pragma once
// The settings file config.ini beside the executable.
//
// How the main window uses it (every call below may throw std::runtime_error
// with the text "Unable to write to <path>" where it writes; let it escape to
// the general error display, which ends FormCreate or FormDestroy there):
//
// LoadSettings, inside FormCreate, after the set was cleared, P0 drawn and the
// caption set to FileCaption("") (no file):
//   1. SettingsPath = ::SettingsPath(<directory of the executable>), kept by
//      the window; SettingsFile settings(SettingsPath);
//   2. settings.CreateIfMissing();   first start: writes AutoLoad=1,
//      AutoLoadFile=c:\, ScreenLeft=10, ScreenTop=10 in this order; an
//      existing file is never rewritten here.
//   3. check box AutoLoad := settings.ReadAutoLoad();
//   4. autoLoadPath := settings.ReadAutoLoadFile();
//   5. window left := settings.ReadScreenLeft(); then
//      window top := settings.ReadScreenTop() (outer frame corner, unchecked).
//   6. if AutoLoad is checked and FileExists(autoLoadPath) (ProgramFile.h):
//        if ReadProgramFile(autoLoadPath, set) fails: warning "Nie można
//          otworzyć pliku", title "Otwarcie pliku", and stop: set, CurrentFile,
//          caption and ModifiedFlag stay as they are;
//        else RenderProgram(); CurrentFile := autoLoadPath;
//          caption := FileCaption(CurrentFile). No status text; ModifiedFlag
//          stays clear.
//
// StoreSettings = FormDestroy, with the SettingsPath kept from FormCreate:
//   1. settings.WriteAutoLoad(check box AutoLoad checked);
//   2. settings.WriteAutoLoadFile(CurrentFile);   also when empty
//   3. settings.WriteScreenLeft(left); settings.WriteScreenTop(top);  the outer
//      frame corner; while minimised (or maximised) that of the restored window.
//   4. Nothing to flush: every Write has already saved the file.
//
// Every Read and Write loads the file afresh and each Write changes only its
// own line, so lines of other sections, comments and unknown keys survive.

#include <cstddef>
#include <optional>
#include <string>

// The path of config.ini in the given directory (the executable's).
std::string SettingsPath(const std::string& directory);

class SettingsFile {
public:
    static constexpr const char* OptionsSection = "Options";
    static constexpr const char* ScreenSection = "Screen";
    static constexpr const char* AutoLoadKey = "AutoLoad";
    static constexpr const char* AutoLoadFileKey = "AutoLoadFile";
    static constexpr const char* ScreenLeftKey = "ScreenLeft";
    static constexpr const char* ScreenTopKey = "ScreenTop";
    // Optional, never written: how long a controller reply is awaited (ms).
    static constexpr const char* ReplyTimeoutKey = "ReplyTimeout";
    // Optional, written only when the operator chooses: the window's language
    // ("pl" or "en", see LanguageChoice.h).
    static constexpr const char* LanguageKey = "Language";

    static constexpr bool DefaultAutoLoad = true;
    static constexpr const char* DefaultAutoLoadFile = "c:\\";
    static constexpr int DefaultScreenLeft = 10;
    static constexpr int DefaultScreenTop = 10;
    static constexpr int DefaultReplyTimeout = 1000;
    static constexpr int MinReplyTimeout = 50;
    static constexpr int MaxReplyTimeout = 60000;

    // Texts are read with at most this many characters; longer ones are cut.
    static constexpr std::size_t MaxTextLength = 2047;

    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    // True when a regular file (not a directory) exists at the path.
    bool Exists() const;
    // When no file exists, writes the four keys with their defaults, in the
    // order AutoLoad, AutoLoadFile, ScreenLeft, ScreenTop; returns true then.
    bool CreateIfMissing();

    bool ReadAutoLoad() const;
    std::string ReadAutoLoadFile() const;
    int ReadScreenLeft() const;
    int ReadScreenTop() const;
    // Options/ReplyTimeout, clamped to MinReplyTimeout..MaxReplyTimeout.
    int ReadReplyTimeout() const;
    // Options/Language as stored; nothing when the key (or the file) is missing.
    std::optional<std::string> ReadLanguage() const;
    void WriteLanguage(const std::string& value);
    void WriteAutoLoad(bool value);
    void WriteAutoLoadFile(const std::string& value);
    void WriteScreenLeft(int value);
    void WriteScreenTop(int value);

    // Single keys by section and key name (case-insensitive). A missing or
    // unreadable file, section or key gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Each write loads the file, changes or adds that one key=value line and
    // saves the file atomically. Throws std::runtime_error("Unable to write to
    // <path>") when the file cannot be read back or written.
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // The integer of a stored text: "0x"/"0X" followed by hexadecimal digits
    // (at least three characters in all), or an optionally signed decimal.
    // Empty text, other characters or a value outside 32 bits give nothing.
    static std::optional<int> ParseInteger(const std::string& text);

private:
    std::optional<std::string> RawValue(const std::string& section, const std::string& key) const;

    std::string path_;
};
