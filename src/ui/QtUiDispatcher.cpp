#include "QtUiDispatcher.h"

#include <QMetaObject>

QtUiDispatcher::QtUiDispatcher(QObject* parent) : QObject(parent) {}

void QtUiDispatcher::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void QtUiDispatcher::WakeUiThread() {
    // Served by the event loop, or earlier by a ServeUntil that waits.
    QMetaObject::invokeMethod(
        this, [this] { Drain(); }, Qt::QueuedConnection);
}
