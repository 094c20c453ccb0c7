#include "QtUiDispatcher.h"

#include <QMetaObject>
#include <QtGlobal>
#include <stdexcept>

QtUiDispatcher::QtUiDispatcher(QObject* parent) : QObject(parent) {}

void QtUiDispatcher::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void QtUiDispatcher::WakeUiThread() {
    // Served by the event loop, or earlier by a ServeUntil that waits.
    QMetaObject::invokeMethod(
        this, [this] { Drain(); }, Qt::QueuedConnection);
}

void QtUiDispatcher::ReportError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        qWarning("device link: a report handler failed: %s", e.what());
    } catch (...) {
        qWarning("device link: a report handler failed");
    }
}
