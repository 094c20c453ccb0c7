#pragma once
// The two input check boxes of the "Sterowanie" page ("Wejście 0",
// "Wejście 1"): shown only while the controller is the emulated one, where
// each tick sets the emulator's input at once, so that a program waiting for
// an input can be tried. Their states are also the inputs a dry run starts
// with.

#include <QObject>
#include <array>
#include <functional>

class QCheckBox;
class QWidget;

class EmulatedInputs : public QObject {
    Q_OBJECT
public:
    using Setter = std::function<void(int input, bool on)>;

    // The boxes "Input0" and "Input1" side by side from (x, y) of page,
    // hidden until Attach.
    EmulatedInputs(QWidget* page, int x, int y, QObject* parent = nullptr);

    // Shows the boxes; from now on every change goes to setInput, starting
    // with the present states.
    void Attach(Setter setInput);
    bool Attached() const { return static_cast<bool>(setInput_); }

    std::array<bool, 2> States() const;
    QCheckBox* Box(int input) const { return boxes_.at(static_cast<std::size_t>(input)); }

private:
    std::array<QCheckBox*, 2> boxes_{};
    Setter setInput_;
};
