#include "ProgramHistory.h"

#include <algorithm>

ProgramHistory::ProgramHistory(ProgramSet& set, Hooks hooks) : set_(set), hooks_(std::move(hooks)) {
    stack_.setUndoLimit(StepLimit);
    baseline_ = Snapshot();
}

ProgramSetStep::Bytes ProgramHistory::Snapshot() const {
    ProgramSetStep::Bytes bytes;
    std::copy_n(set_.Data(), bytes.size(), bytes.begin());
    return bytes;
}

void ProgramHistory::Reset() {
    stack_.clear();
    baseline_ = Snapshot();
}

bool ProgramHistory::Record(const QString& text) {
    return Record(text, hooks_.CurrentView ? hooks_.CurrentView() : View{});
}

bool ProgramHistory::Record(const QString& text, const View& before) {
    const ProgramSetStep::Bytes now = Snapshot();
    if (now == baseline_) {
        return false;
    }
    const View after = hooks_.CurrentView ? hooks_.CurrentView() : before;
    const ProgramSetStep::Bytes was = baseline_;
    baseline_ = now;
    stack_.push(new ProgramSetStep(*this, text, was, now, before, after));
    return true;
}

void ProgramHistory::Apply(const ProgramSetStep::Bytes& bytes, const View& view) {
    std::copy(bytes.begin(), bytes.end(), set_.Data());
    baseline_ = bytes;
    if (hooks_.ShowView) {
        hooks_.ShowView(view);
    }
    if (hooks_.Changed) {
        hooks_.Changed();
    }
}
