#include "GeneralErrorDisplay.h"

#include "MessageBoxes.h"

QString GeneralErrorDisplay::Title() {
    return QStringLiteral("KX-RD4 - PC");
}

QString GeneralErrorDisplay::Text(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void GeneralErrorDisplay::Show(MessageBoxes& boxes, const QString& message) {
    boxes.Show(QMessageBox::Critical, Title(), Text(message), QMessageBox::Ok);
}
