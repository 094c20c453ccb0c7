#include "MotionGuard.h"

#include <QTimer>

#include "MessageBoxes.h"

namespace {

const QString Title = QStringLiteral("Bezpieczeństwo ruchu");

QString Named(const DeviceIdentity& identity) {
    return QString::fromStdString(identity.Label("KX-RD4"));
}

} // namespace

MotionGuard::MotionGuard(MessageBoxes& boxes,
                         std::function<std::optional<DeviceIdentity>()> controller, QObject* parent)
    : QObject(parent), boxes_(boxes), controller_(std::move(controller)) {}

void MotionGuard::StatusSeen(std::int32_t position, std::int32_t velocity) {
    position_ = position;
    velocity_ = velocity;
}

bool MotionGuard::Moves(MessageLetter letter) {
    switch (letter) {
    case MessageLetter::VelocityUp:
    case MessageLetter::VelocityDown:
    case MessageLetter::PositionUp:
    case MessageLetter::PositionDown:
    case MessageLetter::VdstSet:
    case MessageLetter::XdstSet:
    case MessageLetter::HomeStart:
    case MessageLetter::ProgramStart:
        return true;
    default:
        return false;
    }
}

bool MotionGuard::Writes(MessageLetter letter) {
    switch (letter) {
    case MessageLetter::VminWrite:
    case MessageLetter::VmaxWrite:
    case MessageLetter::AmaxWrite:
    case MessageLetter::XdefWrite:
    case MessageLetter::VdefWrite:
    case MessageLetter::WdefWrite:
    case MessageLetter::ModbusAddress:
    case MessageLetter::ModbusBaud:
    case MessageLetter::InputFilter:
    case MessageLetter::LineWrite:
        return true;
    default:
        return false;
    }
}

bool MotionGuard::Allow(MessageLetter letter) {
    if (Writes(letter) &&
        !AskWhileMoving(letter == MessageLetter::LineWrite ? QStringLiteral("Wysłać program")
                                                           : QStringLiteral("Zapisać parametr")))
        return false;
    if (!Moves(letter))
        return true;
    const std::optional<DeviceIdentity> current = controller_ ? controller_() : std::nullopt;
    if (!current)
        return true;
    // (A device that tells neither serial nor port is known by its path.)
    const bool same =
        lastDriven_ &&
        (lastDriven_->SameController(*current) ||
         (current->serial.empty() && current->port.empty() && lastDriven_->path == current->path));
    if (lastDriven_ && !same) {
        const auto answer =
            boxes_.Ask(QMessageBox::Warning, Title,
                       QStringLiteral("Polecenie ruchu trafi do sterownika %1, innego niż ostatnio "
                                      "sterowany (%2).\n\nCzy poruszyć osią tego sterownika?")
                           .arg(Named(*current), Named(*lastDriven_)),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    lastDriven_ = current;
    return true;
}

bool MotionGuard::AllowRestore() {
    return AskWhileMoving(QStringLiteral("Przywrócić sterownik"));
}

bool MotionGuard::AskWhileMoving(const QString& what) {
    if (!Moving())
        return true;
    return boxes_.Ask(QMessageBox::Warning, Title,
                      QStringLiteral("Oś się porusza (ostatni odczyt: prędkość %1). %2 mimo "
                                     "to?")
                          .arg(velocity_)
                          .arg(what),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MotionGuard::ConnectionLost() {
    if (!Moving())
        return;
    const std::int32_t velocity = velocity_;
    velocity_ = 0;
    // Shown once the link's own handling is over; it stays until OK.
    QTimer::singleShot(0, this, [this, velocity] {
        boxes_.Show(QMessageBox::Warning, Title,
                    QStringLiteral("Połączenie ze sterownikiem zostało przerwane, gdy oś była w "
                                   "ruchu (ostatni odczyt: prędkość %1).\n\nOś może nadal się "
                                   "poruszać: zatrzymaj ją na maszynie.")
                        .arg(velocity),
                    QMessageBox::Ok);
    });
}
