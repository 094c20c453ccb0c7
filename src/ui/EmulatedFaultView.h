#pragma once
// In the demo, the emulated controller's program faults as an operator would
// want a real controller to show them: a few times a second the faults it
// recorded are fetched and each one goes to the status bar and the log
// ("Sterownik (symulator): błąd w linii 03 programu P0: ruch przy wyłączonym
// napędzie (brak M_EN)"). Nothing runs until a source is attached.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "ControllerEmulator.h"

class QTimer;

class EmulatedFaultView : public QObject {
    Q_OBJECT

public:
    using Source = std::function<std::vector<ControllerEmulator::Fault>()>;
    using Show = std::function<void(const QString&)>;

    static constexpr int PeriodMs = 200;

    // status: status panel 0; log: the text log.
    EmulatedFaultView(Show status, Show log, QObject* parent = nullptr);

    // Starts fetching from the emulated controller.
    void Attach(Source takeFaults);

    static QString Text(const ControllerEmulator::Fault& fault);

private:
    void Poll();

    Show status_;
    Show log_;
    Source take_;
    QTimer* timer_ = nullptr;
};
