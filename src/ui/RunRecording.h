#pragma once
// "Nagrywaj": a program run recorded and set against its prediction. With
// the box ticked, "Uruchom program" first reads the parameters a program's
// motion depends on (the fields of "Sterowanie" and "Opcje" fill on the way)
// and the position, makes the dry run of the program from them (the inputs of
// the demo as they stand), starts the program and records the axis as fast
// as the controller answers (the device layer's MotionRecorder), the demo's
// input changes included. The chart shows the measured curves solid over the
// predicted ones dashed on one axis in seconds from the start; at the end
// (the program over, the box unticked, "Zatrzymaj program", a time limit or
// no answer) the comparison (RunComparison) goes into the log and the status
// bar. Everything runs on the window's thread through its reply handling.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "ControllerBackup.h"
#include "MessageLetter.h"
#include "MotionRecorder.h"
#include "ProgramSet.h"
#include "RunComparison.h"

class ControllerMessages;
class LiveChart;
class QCheckBox;
class QElapsedTimer;
class QTimer;
class QWidget;

class RunRecording : public QObject {
    Q_OBJECT
public:
    struct Host {
        ControllerMessages& messages;
        LiveChart* chart; // null without the chart library: the run is recorded unseen
        std::function<void(const QString&)> showStatus;
        std::function<void(const QString&)> appendLog;
        std::function<void(int program)> runProgram; // sends ProgramStart
        // The demo's input states (nullopt: inputs unknown, taken as off).
        std::function<std::optional<std::array<bool, 2>>()> inputs;
        std::function<int()> replyTimeoutMs;
    };

    static constexpr double LimitS = 600; // the longest recording
    static constexpr double ShownS = 60;  // the longest prediction drawn while recording
    static constexpr std::array<MessageLetter, 7> ParameterReads = {
        MessageLetter::VminRead, MessageLetter::VmaxRead, MessageLetter::AmaxRead,
        MessageLetter::XdefRead, MessageLetter::VdefRead, MessageLetter::WdefRead,
        MessageLetter::HomeRead};

    // The box "Nagrywaj" ("RecordRun") at geometry on page.
    RunRecording(Host host, QWidget* page, int x, int y, QObject* parent = nullptr);
    ~RunRecording() override;

    QCheckBox* Box() const { return box_; }
    bool Armed() const;
    // Reading, waiting for the start or recording.
    bool Active() const { return state_ != State::Idle; }
    bool Recording() const { return state_ == State::Recording; }

    // Instead of a plain run while Armed: the whole sequence for program of
    // programs (the editor's, which the controller holds).
    void Start(const ProgramSet& programs, int program);
    // Ends a recording under way (Stopped); a start not yet made is dropped.
    void Stop();
    // The axis sent to a stop ("Zatrzymaj program", Esc, STOP): the recording
    // ends (Stopped) once the axis has come to rest.
    void StopWhenAtRest();

    // From the window's reply handling; each returns true when the reply was
    // the recording's (a StatusPoll reply is then not a chart sample).
    bool OnValue(std::string_view field, std::int32_t value);
    void OnContact(std::optional<int> contact);
    bool OnStatus(std::int32_t position, std::int32_t velocity);
    void OnProgramStartReply();
    void OnInputChange(int input, bool on);

    // The last finished recording and its comparison (nullptr: none).
    const MotionRecording* LastRecording() const;
    const RunComparison::Result* LastComparison() const;
    const ControllerBackup& LastParameters() const { return parameters_; }
    const ProgramSet& LastPrograms() const { return programs_; }
    int LastProgram() const { return program_; }
    double Tolerance() const { return tolerance_; }

signals:
    // A recording ended and was compared.
    void Finished();

private:
    enum class State { Idle, ReadingParameters, ReadingPosition, Starting, Recording };
    void Tick();
    void ScheduleDuePoll();
    void NextParameter();
    void Fail(const QString& status);
    void BeginRun(std::int32_t position);
    void Finish();
    RunComparison::Setup MakeSetup() const;
    void ShowSample(const MotionRecording::Sample& sample);
    void ShowPrediction(const ProgramDryRun::Result& run);
    // prediction_ and programEndS_ for the inputs changed so far.
    void Predict(const std::vector<ProgramDryRun::InputChange>& changes);

    Host host_;
    QCheckBox* box_;
    QTimer* tick_;
    std::unique_ptr<QElapsedTimer> clock_;
    State state_ = State::Idle;
    ProgramSet programs_;
    int program_ = 0;
    ControllerBackup parameters_;
    std::size_t nextRead_ = 0;
    double deadlineS_ = 0;
    std::optional<std::int32_t> homeValue_;
    std::vector<ProgramDryRun::InputChange> startInputs_;
    std::int32_t startPosition_ = 0;
    double startSentS_ = 0;
    RunComparison::Prediction prediction_;
    std::optional<double> programEndS_; // when the recording may end, from the run's start
    std::unique_ptr<MotionRecorder> recorder_;
    std::optional<MotionRecording> last_;
    std::optional<RunComparison::Result> comparison_;
    double tolerance_ = 10;
    bool stopRequested_ = false;
};
