#pragma once
// The page "Sterowanie" (TabSheet3): the motion parameters, target velocity
// and position, homing, the motor and jog buttons, and the live chart with its
// Play/Stop button, and with the emulated controller its two input check
// boxes. The main window owns one ControlPage and calls
// Timer1Timer every 25 ms; the report sink fills the fields through
// SetValueField and SetNoNc and feeds the chart through AddChartSample.

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include <functional>

#include "MessageLetter.h"

class ControllerMessages;
class EmulatedInputs;
class FileDialogs;
class LiveChart;
class MessageBoxes;
class NarrowComboStyle;
class NumberField;
class QAbstractButton;
class QComboBox;
class QPushButton;
class QWidget;

class ControlPage : public QObject {
    Q_OBJECT
public:
    // One parameter row: edit field, read button, write button.
    struct Row {
        const char* field;
        const char* caption;
        const char* readButton;
        const char* writeButton;
        const char* writeCaption;
        std::int32_t lower;
        std::int32_t upper;
        MessageLetter read;
        MessageLetter write;
    };
    static const std::array<Row, 6> Rows;

    // Builds the page's controls inside tabSheet3.
    ControlPage(QWidget* tabSheet3, ControllerMessages& messages, FileDialogs& dialogs,
                MessageBoxes& boxes, QObject* parent = nullptr);

    // The value of a read reply for the field of that objectName; false when
    // the field is not on this page.
    bool SetValueField(std::string_view fieldName, std::int32_t value);
    // 0 = "NO", 1 = "NC", nullopt = no selection.
    void SetNoNc(std::optional<int> index);
    // A StatusPoll reply: one chart sample, whether or not the chart runs.
    void AddChartSample(std::int32_t position, std::int32_t velocity);

    bool ChartRunning() const { return chartRunning_; }
    // Null when the chart library could not be loaded (LiveChartModule).
    LiveChart* Chart() const { return chart_; }
    // The input check boxes, shown only with the emulated controller.
    EmulatedInputs& Inputs() const { return *inputs_; }
    NumberField* Field(std::string_view fieldName) const;
    // Asked before each write or motion message of the page; false: nothing
    // is sent.
    void SetGuard(std::function<bool(MessageLetter letter, std::int32_t value)> guard) {
        guard_ = std::move(guard);
    }
    // Whether a run is being recorded: it polls by itself, so the chart's own
    // poll waits, and Play/Stop after it brings the live history back.
    void SetRecordingActive(std::function<bool()> active) { recordingActive_ = std::move(active); }
    // "Uruchom program": the chart runs (as after Play/Stop).
    void StartChart() { chartRunning_ = true; }

public slots:
    void ReadVminButtonClick();
    void ReadVmaxButtonClick();
    void ReadAmaxButtonClick();
    void ReadVdstButtonClick();
    void ReadXdstButtonClick();
    void ReadHomeButtonClick();
    // All six write buttons; the clicked one is told by its objectName.
    void WriteVminButtonClick();
    // The write of the row whose write button has this objectName
    // ("WriteVminButton" ... "WriteHomeButton"); other names do nothing.
    void WriteButtonClick(const QString& buttonName);
    // The change handler of every numeric field: back to the window colour.
    void HomeLabelChange();
    void EnableButtonClick();
    void DisableButtonClick();
    void StopButtonClick();
    void BrakeButtonClick();
    void BitBtn1Click(); // "Zwiększ prędkość"
    void BitBtn2Click(); // "Zmniejsz prędkość"
    void BitBtn3Click(); // "Przesuń w prawo"
    void BitBtn4Click(); // "Przesuń w lewo"
    void PlayChartButtonClick();
    // Every 25 ms: a StatusPoll while the chart runs and this page is shown.
    void Timer1Timer();

private:
    void WriteRow(const Row& row, NumberField* field);
    void Jog(MessageLetter letter);
    bool PageShown() const;

    QWidget* page_;
    ControllerMessages& messages_;
    std::function<bool(MessageLetter, std::int32_t)> guard_;
    bool Allowed(MessageLetter letter, std::int32_t value) const {
        return !guard_ || guard_(letter, value);
    }
    std::array<NumberField*, 6> fields_{};
    NarrowComboStyle* narrowStyle_; // for NoNc and Delta
    QComboBox* noNc_;
    QComboBox* delta_;
    LiveChart* chart_;
    QPushButton* playChart_;
    EmulatedInputs* inputs_;
    bool chartRunning_ = false;
    std::function<bool()> recordingActive_;
    bool RecordingActive() const { return recordingActive_ && recordingActive_(); }
};
