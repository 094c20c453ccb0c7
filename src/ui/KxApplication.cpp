#include "KxApplication.h"

#include <exception>

#include "GeneralErrorDisplay.h"
#include "QtMessageBoxes.h"

KxApplication::KxApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("kxrd4-pc"));
    setApplicationVersion(QStringLiteral("1.2"));
}

void KxApplication::ShowError(const QString& message) {
    if (errorBoxes_ != nullptr) {
        GeneralErrorDisplay::Show(*errorBoxes_, message);
        return;
    }
    QtMessageBoxes boxes;
    GeneralErrorDisplay::Show(boxes, message);
}

bool KxApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QString());
    }
    return false;
}
