#include "SignalEnd.h"

#include <QSocketNotifier>

#include "StopSignals.h"

SignalEnd::SignalEnd(std::function<void()> end, QObject* parent)
    : QObject(parent), end_(std::move(end)) {
    const int fd = StopSignals::Install();
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        while (StopSignals::Take() != 0) {
        }
        if (ending_)
            return;
        ending_ = true;
        end_();
    });
}

SignalEnd::~SignalEnd() {
    if (notifier_ != nullptr)
        StopSignals::Uninstall();
}
