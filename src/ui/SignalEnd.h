#pragma once
// The requests to end the tool that come as signals (SIGTERM, SIGHUP, SIGINT;
// the files layer's StopSignals) answered in the event loop: the window ends
// as a close would, without its question, unsaved edits kept in the recovery
// file for the next start. Where the system sends none (Windows), nothing.

#include <QObject>
#include <functional>

class QSocketNotifier;

class SignalEnd : public QObject {
    Q_OBJECT

public:
    // end: what a signal does (once; later signals while it runs are taken
    // and dropped).
    explicit SignalEnd(std::function<void()> end, QObject* parent = nullptr);
    ~SignalEnd() override;

private:
    std::function<void()> end_;
    QSocketNotifier* notifier_ = nullptr;
    bool ending_ = false;
};
