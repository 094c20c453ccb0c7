#pragma once
// The set differs from the last file. Marking it also appends "*" to the
// window caption, reached through CaptionSink so the model needs no widgets.

#include <string>

class CaptionSink {
public:
    virtual ~CaptionSink() = default;
    virtual std::string Caption() const = 0; // UTF-8
    virtual void SetCaption(const std::string& caption) = 0;
};

class ModifiedFlag {
public:
    explicit ModifiedFlag(CaptionSink& caption) : caption_(caption) {}

    bool IsSet() const { return set_; }
    // Sets the flag; appends "*" to the caption unless it already ends with one.
    void MarkModified();
    // Clears the flag; the caller sets a fresh caption.
    void ClearModified() { set_ = false; }

private:
    CaptionSink& caption_;
    bool set_ = false;
};
