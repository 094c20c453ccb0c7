#pragma once
// The line edit dialog: the operator picks a command for one program line,
// enters its operands and confirms. One instance (FProg) lives for the whole
// run; it is only hidden and shown. It is not modal and stays on top of the
// main window, which remains usable while it is open.

#include <QDialog>
#include <cstdint>
#include <functional>

#include "CommandCode.h"
#include "EditTarget.h"
#include "ProgramSet.h"

class QComboBox;
class QGroupBox;
class QLabel;
class NumberField;
class QPushButton;

class TFProg : public QDialog {
    Q_OBJECT

public:
    // What the dialog needs from the main window. Empty functions are skipped.
    struct Hooks {
        std::function<void()> MarkModified;  // set the modified mark ("*")
        std::function<void()> RenderProgram; // redraw the listing
        std::function<void()> EnableEditor;  // set ProgBox and ProgNumBox enabled
    };

    TFProg(ProgramSet& programs, Hooks hooks, QWidget* parent = nullptr);

    // Opens the dialog on line l of program p (or re-targets it when open).
    void Open(int line, int program);

    // The line and program the dialog writes to, recorded on opening and
    // kept after it closes.
    const ::EditTarget& Target() const { return target_; }

    // The command code a stored command byte opens as: 100 is subtracted from
    // bytes of 100 or more; a result outside 0..25 opens as code 0.
    static int OpeningCode(std::uint8_t commandByte);

    // Shows exactly the fields that command c uses and selects c in Function.
    void ShowFieldsFor(int c);
    // Sets the fields of c's layout from the stored line at EditTarget.
    void FillFieldsFrom(int c);

    // Handlers of the form.
    void FunctionChange(int c);
    void OkButtonClick();
    void CanelButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Encodes the fields into the line at EditTarget. Returns false (and marks
    // Number) when the number of a numeric command is not a whole number.
    bool EncodeLine();
    bool FormKeyPress(QKeyEvent* event);
    void SetNumberWarning(bool on);
    void PlaceOverMainWindow();

    ProgramSet& programs_;
    Hooks hooks_;
    ::EditTarget target_;

    QGroupBox* ParamBox = nullptr;
    QLabel* LFunction = nullptr;
    QComboBox* Function = nullptr;
    QLabel* LNumber = nullptr;
    NumberField* Number = nullptr;
    QLabel* LLine = nullptr;
    QComboBox* Line = nullptr;
    QLabel* LProg = nullptr;
    QComboBox* Prog = nullptr;
    QLabel* LInOut = nullptr;
    QComboBox* InOut = nullptr;
    QLabel* LOnOff = nullptr;
    QComboBox* OnOff = nullptr;
    QLabel* LNoNc = nullptr;
    QComboBox* NoNc = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CanelButton = nullptr;
};
