#include "MotionGuard.h"

#include <QTimer>

#include "MessageBoxes.h"

namespace {

QString Named(const DeviceIdentity& identity) {
    return QString::fromStdString(identity.Label("KX-RD4"));
}

} // namespace

QString MotionGuard::Title() {
    return tr("Bezpieczeństwo ruchu");
}

MotionGuard::MotionGuard(MessageBoxes& boxes,
                         std::function<std::optional<DeviceIdentity>()> controller, QObject* parent)
    : QObject(parent), boxes_(boxes), controller_(std::move(controller)) {}

void MotionGuard::SetLimits(std::function<std::optional<TravelLimits>()> limits,
                            std::function<void()> stop,
                            std::function<void(const QString&)> showStatus) {
    limits_ = std::move(limits);
    stop_ = std::move(stop);
    showStatus_ = std::move(showStatus);
}

void MotionGuard::StatusSeen(std::int32_t position, std::int32_t velocity) {
    position_ = position;
    velocity_ = velocity;
    if (velocity == 0)
        target_.reset();
    const std::optional<TravelLimits> limits = limits_ ? limits_() : std::nullopt;
    if (!limits)
        return;
    if (!limits->LeavingAt(position, velocity))
        return;
    if (stop_)
        stop_();
    if (showStatus_)
        showStatus_(tr("Pozycja %1 poza granicami ruchu %2…%3: wysłano stop")
                        .arg(position)
                        .arg(limits->min)
                        .arg(limits->max));
}

void MotionGuard::Refuse(const QString& why) {
    if (showStatus_)
        showStatus_(why);
    boxes_.Show(QMessageBox::Warning, tr("Granice ruchu"),
                tr("%1\n\nNic nie zostało wysłane. Granice ruchu są zapisane w tym PC (strona "
                   "\"Opcje\"), nie w sterowniku.")
                    .arg(why),
                QMessageBox::Ok);
}

bool MotionGuard::WithinLimits(MessageLetter letter, std::int32_t value) {
    const std::optional<TravelLimits> limits = limits_ ? limits_() : std::nullopt;
    if (!limits)
        return true;
    const QString range = QStringLiteral("%1…%2").arg(limits->min).arg(limits->max);
    switch (letter) {
    case MessageLetter::XdstSet:
        if (limits->Position(value) != TravelLimits::Breach::None) {
            Refuse(tr("Pozycja zadana %1 leży poza granicami ruchu %2.").arg(value).arg(range));
            return false;
        }
        target_ = value;
        return true;
    case MessageLetter::PositionUp:
    case MessageLetter::PositionDown: {
        const std::optional<std::int32_t> from = target_ ? target_ : position_;
        if (!from) {
            Refuse(tr("Pozycja osi nie jest znana, więc nie można sprawdzić granic ruchu: włącz "
                      "wykres (Play/Stop na stronie \"Sterowanie\")."));
            return false;
        }
        const std::int64_t step = letter == MessageLetter::PositionUp ? value : -value;
        const std::int64_t to = static_cast<std::int64_t>(*from) + step;
        // A jog back towards the travel goes.
        const auto outside = [&](std::int64_t p) {
            return p > limits->max ? p - limits->max : p < limits->min ? limits->min - p : 0;
        };
        if (outside(to) > 0 && outside(to) >= outside(*from)) {
            Refuse(tr("Przesunięcie o %1 prowadzi do pozycji %2, poza granice ruchu %3.")
                       .arg(step)
                       .arg(to)
                       .arg(range));
            return false;
        }
        target_ = static_cast<std::int32_t>(to);
        return true;
    }
    case MessageLetter::VdstSet:
    case MessageLetter::HomeStart:
    case MessageLetter::VelocityUp:
    case MessageLetter::VelocityDown: {
        const std::int64_t velocity =
            letter == MessageLetter::VdstSet || letter == MessageLetter::HomeStart
                ? value
                : static_cast<std::int64_t>(velocity_) +
                      (letter == MessageLetter::VelocityUp ? value : -value);
        if (limits->Velocity(velocity) != TravelLimits::Breach::None) {
            Refuse(tr("Prędkość %1 przekracza granicę %2.").arg(velocity).arg(*limits->vmax));
            return false;
        }
        return true;
    }
    default:
        return true;
    }
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

bool MotionGuard::Allow(MessageLetter letter, std::optional<std::int32_t> value) {
    if (value && !WithinLimits(letter, *value))
        return false;
    if (Writes(letter) &&
        !AskWhileMoving(
            letter == MessageLetter::LineWrite
                ? tr("Oś się porusza (ostatni odczyt: prędkość %1). Wysłać program mimo to?")
                : tr("Oś się porusza (ostatni odczyt: prędkość %1). Zapisać parametr mimo to?")))
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
            boxes_.Ask(QMessageBox::Warning, Title(),
                       tr("Polecenie ruchu trafi do sterownika %1, innego niż ostatnio sterowany "
                          "(%2).\n\nCzy poruszyć osią tego sterownika?")
                           .arg(Named(*current), Named(*lastDriven_)),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    lastDriven_ = current;
    return true;
}

bool MotionGuard::AllowRestore() {
    return AskWhileMoving(
        tr("Oś się porusza (ostatni odczyt: prędkość %1). Przywrócić sterownik mimo to?"));
}

bool MotionGuard::AskWhileMoving(const QString& question) {
    if (!Moving())
        return true;
    return boxes_.Ask(QMessageBox::Warning, Title(), question.arg(velocity_),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MotionGuard::ConnectionLost() {
    if (!Moving())
        return;
    const std::int32_t velocity = velocity_;
    velocity_ = 0;
    // Shown once the link's own handling is over; it stays until OK.
    QTimer::singleShot(0, this, [this, velocity] {
        boxes_.Show(QMessageBox::Warning, Title(),
                    tr("Połączenie ze sterownikiem zostało przerwane, gdy oś była w ruchu "
                       "(ostatni odczyt: prędkość %1).\n\nOś może nadal się poruszać: "
                       "zatrzymaj ją na maszynie.")
                        .arg(velocity),
                    QMessageBox::Ok);
    });
}
