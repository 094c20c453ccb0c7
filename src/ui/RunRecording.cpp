#include "RunRecording.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "ControllerMessages.h"
#include "LiveChart.h"
#include "RunReportText.h"

namespace {

struct Read {
    MessageLetter letter;
    const char* field;
    const char* key;
};

constexpr Read Reads[] = {
    {MessageLetter::VminRead, "VminLabel", "vmin"}, {MessageLetter::VmaxRead, "VmaxLabel", "vmax"},
    {MessageLetter::AmaxRead, "AmaxLabel", "amax"}, {MessageLetter::XdefRead, "XdefLabel", "xdef"},
    {MessageLetter::VdefRead, "VdefLabel", "vdef"}, {MessageLetter::WdefRead, "WdefLabel", "wdef"},
    {MessageLetter::HomeRead, "HomeLabel", "home"},
};
static_assert(std::size(Reads) == RunRecording::ParameterReads.size());

} // namespace

RunRecording::RunRecording(Host host, QWidget* page, int x, int y, QObject* parent)
    : QObject(parent), host_(std::move(host)), clock_(std::make_unique<QElapsedTimer>()) {
    box_ = new QCheckBox(tr("Nagrywaj"), page);
    box_->setObjectName(QStringLiteral("RecordRun"));
    box_->setToolTip(tr("„Uruchom program” nagrywa przebieg i porównuje go z symulacją"));
    box_->adjustSize();
    box_->move(x, y);
    connect(box_, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) {
            Stop();
        }
    });
    tick_ = new QTimer(this);
    tick_->setTimerType(Qt::PreciseTimer);
    tick_->setInterval(1);
    connect(tick_, &QTimer::timeout, this, &RunRecording::Tick);
    clock_->start();
}

RunRecording::~RunRecording() = default;

bool RunRecording::Armed() const {
    return box_->isChecked();
}

const MotionRecording* RunRecording::LastRecording() const {
    return last_ ? &*last_ : nullptr;
}

const RunComparison::Result* RunRecording::LastComparison() const {
    return comparison_ ? &*comparison_ : nullptr;
}

void RunRecording::Start(const ProgramSet& programs, int program) {
    if (Active()) {
        return;
    }
    programs_ = programs;
    program_ = program;
    parameters_ = ControllerBackup{};
    nextRead_ = 0;
    homeValue_.reset();
    stopRequested_ = false;
    state_ = State::ReadingParameters;
    tick_->start();
    host_.showStatus(tr("Nagrywanie: odczyt parametrów sterownika…"));
    NextParameter();
}

void RunRecording::NextParameter() {
    const double now = static_cast<double>(clock_->nsecsElapsed()) / 1e9;
    deadlineS_ = now + host_.replyTimeoutMs() / 1000.0;
    try {
        if (nextRead_ < std::size(Reads)) {
            host_.messages.SendRequest(Reads[nextRead_].letter);
            return;
        }
        // The position: the recording's first sample.
        state_ = State::ReadingPosition;
        MotionRecorder::Options options;
        options.limitS = LimitS;
        options.replyTimeoutS = host_.replyTimeoutMs() / 1000.0;
        recorder_ = std::make_unique<MotionRecorder>(
            [this] {
                try {
                    host_.messages.SendRequest(MessageLetter::StatusPoll);
                    return true;
                } catch (...) {
                    return false;
                }
            },
            [this] { return static_cast<double>(clock_->nsecsElapsed()) / 1e9; }, options);
        recorder_->SetSampleObserver(
            [this](const MotionRecording::Sample& sample) { ShowSample(sample); });
        recorder_->Start();
    } catch (...) {
        Fail(tr("Nagrywanie przerwane: nie można pisać do sterownika"));
    }
}

bool RunRecording::OnValue(std::string_view field, std::int32_t value) {
    if (state_ != State::ReadingParameters || nextRead_ >= std::size(Reads) ||
        field != Reads[nextRead_].field) {
        return false;
    }
    if (Reads[nextRead_].letter == MessageLetter::HomeRead) {
        homeValue_ = value; // the contact type follows
        return true;
    }
    parameters_.parameters[Reads[nextRead_].key] = ControllerBackup::Value{value, 0};
    ++nextRead_;
    NextParameter();
    return true;
}

void RunRecording::OnContact(std::optional<int> contact) {
    if (state_ != State::ReadingParameters || !homeValue_) {
        return;
    }
    parameters_.parameters["home"] = ControllerBackup::Value{*homeValue_, contact.value_or(0)};
    homeValue_.reset();
    ++nextRead_;
    NextParameter();
}

bool RunRecording::OnStatus(std::int32_t position, std::int32_t velocity) {
    if (!recorder_ || !(state_ == State::ReadingPosition || state_ == State::Starting ||
                        state_ == State::Recording)) {
        return false;
    }
    recorder_->OnStatus(position, velocity);
    ScheduleDuePoll();
    if (state_ == State::ReadingPosition && !recorder_->Recording().samples.empty()) {
        BeginRun(position);
    } else if (state_ == State::Recording && !recorder_->Running()) {
        Finish();
    }
    return true;
}

RunComparison::Setup RunRecording::MakeSetup() const {
    RunComparison::Setup setup;
    setup.programs = &programs_;
    setup.program = program_;
    setup.parameters = &parameters_;
    setup.startPosition = startPosition_;
    setup.startInputs = startInputs_;
    setup.limitS = LimitS;
    return setup;
}

void RunRecording::BeginRun(std::int32_t position) {
    startPosition_ = position;
    startInputs_.clear();
    if (const auto states = host_.inputs()) {
        for (int io = 0; io < 2; ++io) {
            startInputs_.push_back({0, io, (*states)[static_cast<std::size_t>(io)]});
        }
    }
    Predict({});
    if (host_.chart != nullptr)
        host_.chart->BeginRunView(programEndS_.value_or(10.0));
    ShowPrediction(prediction_.run);
    state_ = State::Starting;
    startSentS_ = static_cast<double>(clock_->nsecsElapsed()) / 1e9;
    deadlineS_ = startSentS_ + host_.replyTimeoutMs() / 1000.0;
    host_.runProgram(program_);
    host_.showStatus(tr("Nagrywanie programu P%1…").arg(program_));
}

void RunRecording::OnProgramStartReply() {
    if (state_ != State::Starting || !recorder_) {
        return;
    }
    recorder_->MarkRunStart(startSentS_, static_cast<double>(clock_->nsecsElapsed()) / 1e9);
    recorder_->SetProgramEnd(programEndS_);
    state_ = State::Recording;
}

void RunRecording::OnInputChange(int input, bool on) {
    if (!recorder_ || !(state_ == State::Starting || state_ == State::Recording)) {
        return;
    }
    recorder_->OnInputChange(input, on);
    // The prediction follows the inputs as they changed (a program waiting
    // for one goes on), and with it the end of the recording.
    const MotionRecording& recording = recorder_->Recording();
    const double origin = recording.runStart ? recording.runStart->sentS : startSentS_;
    std::vector<ProgramDryRun::InputChange> changes;
    for (const auto& change : recording.inputs) {
        changes.push_back({std::max<std::int64_t>(0, std::llround((change.timeS - origin) * 1000)),
                           change.input, change.on});
    }
    Predict(changes);
    recorder_->SetProgramEnd(stopRequested_ ? std::optional<double>(0.0) : programEndS_);
    ShowPrediction(prediction_.run);
}

void RunRecording::Predict(const std::vector<ProgramDryRun::InputChange>& changes) {
    // The curves for the chart over at most ShownS (a program that never
    // ends would cost its whole limit in samples); where the program ends
    // beyond them, a dry run without samples (which costs only its events).
    RunComparison::Setup setup = MakeSetup();
    setup.limitS = std::min(LimitS, ShownS);
    prediction_ = RunComparison::Predict(setup, changes);
    programEndS_ = prediction_.RecordingEndS();
    if (!prediction_.run.ended && ShownS < LimitS) {
        ProgramDryRun::Options options;
        options.limitMs = static_cast<std::int64_t>(LimitS * 1000);
        options.inputs = startInputs_;
        options.inputs.insert(options.inputs.end(), changes.begin(), changes.end());
        options.parameters = &parameters_;
        options.startPosition = startPosition_;
        options.enabled = prediction_.enableAssumed;
        const ProgramDryRun::Result whole = ProgramDryRun::Run(programs_, program_, options);
        if (whole.ended) {
            programEndS_ = static_cast<double>(whole.endMs) / 1000.0;
        }
    }
}

void RunRecording::ShowPrediction(const ProgramDryRun::Result& run) {
    QVector<double> seconds;
    QVector<double> positions;
    QVector<double> velocities;
    // Every 10 ms is plenty for the dashed curves.
    for (std::size_t i = 0; i < run.samples.size(); i += 10) {
        seconds << run.samples[i].timeMs / 1000.0;
        positions << run.samples[i].position;
        velocities << run.samples[i].velocity;
    }
    if (host_.chart != nullptr)
        host_.chart->ShowPrediction(seconds, positions, velocities);
}

void RunRecording::ShowSample(const MotionRecording::Sample& sample) {
    const auto& start = recorder_->Recording().runStart;
    const double origin = start ? start->sentS : startSentS_;
    if (state_ != State::ReadingPosition && host_.chart != nullptr) {
        host_.chart->AddRunSample(sample.TimeS() - origin, sample.position, sample.velocity);
    }
}

void RunRecording::ScheduleDuePoll() {
    // At once from the event loop rather than on the next timer tick, which
    // comes late on a busy machine.
    if (recorder_ && recorder_->PollDue()) {
        QTimer::singleShot(0, this, [this] {
            if (recorder_ && recorder_->Running()) {
                recorder_->Tick();
                ScheduleDuePoll();
            }
        });
    }
}

void RunRecording::Tick() {
    const double now = static_cast<double>(clock_->nsecsElapsed()) / 1e9;
    switch (state_) {
    case State::Idle:
        tick_->stop();
        return;
    case State::ReadingParameters:
        if (now > deadlineS_) {
            Fail(tr("Nagrywanie przerwane: brak odpowiedzi sterownika na odczyt parametrów; "
                    "program nie został uruchomiony"));
        }
        return;
    case State::Starting:
        if (now > deadlineS_) {
            // The start may have been taken without its reply: record on.
            OnProgramStartReply();
        }
        [[fallthrough]];
    case State::ReadingPosition:
    case State::Recording:
        recorder_->Tick();
        if (!recorder_->Running()) {
            if (state_ == State::ReadingPosition) {
                Fail(tr("Nagrywanie przerwane: sterownik nie podaje pozycji; program nie został "
                        "uruchomiony"));
            } else {
                Finish();
            }
        }
        return;
    }
}

void RunRecording::Fail(const QString& status) {
    state_ = State::Idle;
    tick_->stop();
    recorder_.reset();
    host_.showStatus(status);
    host_.appendLog(status);
}

void RunRecording::Stop() {
    if (state_ == State::Recording || state_ == State::Starting) {
        recorder_->Stop();
        Finish();
    } else if (Active()) {
        Fail(tr("Nagrywanie przerwane przed uruchomieniem programu"));
    }
}

void RunRecording::StopWhenAtRest() {
    if (state_ == State::Recording || state_ == State::Starting) {
        stopRequested_ = true;
        recorder_->SetProgramEnd(0.0);
    } else if (Active()) {
        Fail(tr("Nagrywanie przerwane przed uruchomieniem programu"));
    }
}

void RunRecording::Finish() {
    if (!recorder_) {
        return;
    }
    state_ = State::Idle;
    tick_->stop();
    recorder_->Stop();
    last_ = recorder_->Recording();
    recorder_.reset();
    if (stopRequested_ && last_->end == MotionRecording::End::ProgramEnded) {
        last_->end = MotionRecording::End::Stopped;
    }
    comparison_ = RunComparison::Compare(MakeSetup(), *last_);
    ShowPrediction(comparison_->prediction.run);
    for (const QString& line : RunReportText::Lines(*comparison_, *last_, tolerance_)) {
        host_.appendLog(line);
    }
    host_.showStatus(RunReportText::Summary(*comparison_, *last_, tolerance_));
    emit Finished();
}
