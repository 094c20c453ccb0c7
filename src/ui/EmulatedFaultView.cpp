#include "EmulatedFaultView.h"

#include <QTimer>

#include "FaultCauseText.h"

EmulatedFaultView::EmulatedFaultView(Show status, Show log, QObject* parent)
    : QObject(parent), status_(std::move(status)), log_(std::move(log)) {}

void EmulatedFaultView::Attach(Source takeFaults) {
    take_ = std::move(takeFaults);
    if (timer_ == nullptr) {
        timer_ = new QTimer(this);
        timer_->setInterval(PeriodMs);
        connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
    }
    timer_->start();
}

QString EmulatedFaultView::Text(const ControllerEmulator::Fault& fault) {
    return tr("Sterownik (symulator): błąd w linii %1 programu P%2: %3")
        .arg(fault.Line, 2, 10, QLatin1Char('0'))
        .arg(fault.Program)
        .arg(FaultCauseText::Of(fault.Cause));
}

void EmulatedFaultView::Poll() {
    if (!take_) {
        return;
    }
    for (const ControllerEmulator::Fault& fault : take_()) {
        const QString text = Text(fault);
        log_(text);
        status_(text);
    }
}
