#pragma once
// The window's guards around motion, asked before each message an operator's
// command sends (Allow) and told of each status reply and of the lost
// connection:
// - while the axis moves (the last status reply had a velocity other than 0),
//   writing a parameter, sending a program or restoring the controller asks
//   first ("Nie" is the default);
// - the first motion command to a controller other than the last one the
//   window drove asks once, naming its serial number and port;
// - the connection lost while the axis moved gives a warning that stays until
//   acknowledged: the axis may still be moving.
// - with travel limits kept for the controller (TravelLimits), a target, a
//   jog or a velocity beyond them is refused with a message and nothing is
//   sent (a jog back towards the travel is let through), and a status reply
//   with the axis beyond them and moving outwards sends the stop at once.
// The axis is known to move only while the chart polls it; without status
// replies the guards take the axis for standing (and a position jog with
// limits kept is refused while the position is not known).

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "DeviceIdentity.h"
#include "MessageLetter.h"
#include "TravelLimits.h"

class MessageBoxes;

class MotionGuard : public QObject {
    Q_OBJECT
public:
    // controller: the identity of the controller in use, nullopt without one.
    MotionGuard(MessageBoxes& boxes, std::function<std::optional<DeviceIdentity>()> controller,
                QObject* parent = nullptr);

    // The travel limits of the controller in use; the stop of the axis; the
    // status bar.
    void SetLimits(std::function<std::optional<TravelLimits>()> limits, std::function<void()> stop,
                   std::function<void(const QString&)> showStatus);

    // A status reply.
    void StatusSeen(std::int32_t position, std::int32_t velocity);
    bool Moving() const { return velocity_ != 0; }
    std::optional<std::int32_t> Position() const { return position_; }

    // Before the window sends letter for an operator's command; false: send
    // nothing. LineWrite stands for a program sent, and ProgramStart for a run.
    // value: the target, velocity or step the message carries.
    bool Allow(MessageLetter letter, std::optional<std::int32_t> value = std::nullopt);
    // Before a restore of the controller: false to leave it.
    bool AllowRestore();
    // The controller in use went (or the window lost its link to it).
    void ConnectionLost();

    static bool Moves(MessageLetter letter);
    static bool Writes(MessageLetter letter);

private:
    // question: the whole question, %1 the last velocity read.
    bool AskWhileMoving(const QString& question);
    static QString Title();
    // False (and the message) when the motion would leave the limits.
    bool WithinLimits(MessageLetter letter, std::int32_t value);
    void Refuse(const QString& why);

    MessageBoxes& boxes_;
    std::function<std::optional<DeviceIdentity>()> controller_;
    std::int32_t velocity_ = 0;
    std::optional<std::int32_t> position_;
    std::optional<DeviceIdentity> lastDriven_;
    std::optional<std::int32_t> target_; // of the last move or jog let through
    std::function<std::optional<TravelLimits>()> limits_;
    std::function<void()> stop_;
    std::function<void(const QString&)> showStatus_;
};
