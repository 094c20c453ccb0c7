#pragma once
// The hand-over of the HID link on Qt: readers queue their calls and the
// user-interface thread's event loop runs them; while the user-interface
// thread waits for a reader to end it serves only these calls (not other
// events), so no operator action runs in the middle of a device change.

#include <QObject>

#include "HandOverQueue.h"

class QtUiDispatcher : public QObject, public HandOverQueue {
    Q_OBJECT
public:
    explicit QtUiDispatcher(QObject* parent = nullptr);

    void Post(std::function<void()> call) override;

protected:
    void WakeUiThread() override;
    // Logged: Qt's event loop must not see exceptions.
    void ReportError(std::exception_ptr error) override;
};
