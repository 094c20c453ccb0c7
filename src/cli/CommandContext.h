#pragma once
// What every command of kxrd4-cli works with: the parsed arguments, the output
// streams, Ctrl+C, and the link to the KX-RD4 (made on first use, with the
// emulated controller for --emulator). Failures are thrown as CommandFailure
// (exit 3 when no KX-RD4 is there or --device names none, 4 when several are
// and none is chosen).

#include <atomic>
#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "AxisMotion.h"
#include "Cli.h"
#include "CommandArguments.h"
#include "ControllerSession.h"
#include "DeviceIdentity.h"
#include "SimulatedHidBackend.h"
#include "TravelLimits.h"

class CommandContext {
public:
    // The poll period of watch and of the waits for the axis: 40 Hz, as the
    // window's chart.
    static constexpr std::chrono::milliseconds PollPeriod = AxisMotion::PollPeriod;

    using Exchange =
        std::function<bool(ControllerSession&, ControllerSession::Reply&, std::string&)>;

    CommandContext(const CommandArguments& arguments, const Cli::BackendFactory& factory,
                   std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted);
    ~CommandContext();
    CommandContext(const CommandContext&) = delete;
    CommandContext& operator=(const CommandContext&) = delete;

    const CommandArguments& Arguments() const { return arguments_; }
    std::ostream& Out() { return out_; }
    std::ostream& Err() { return err_; }
    bool Interrupted() const { return interrupted_ != nullptr && interrupted_->load(); }
    const std::atomic<bool>* InterruptFlag() const { return interrupted_; }

    // Back ends for further sessions beside Session()'s, one for each (on
    // --emulator users of the same emulated controllers).
    Cli::BackendFactory Backends();
    // The session with the devices scanned, no KX-RD4 chosen yet.
    ControllerSession& Session();
    // The session with the KX-RD4 chosen (--device) and ready to be written.
    ControllerSession& Controller();
    // The same, held for this command to the end (LockController): for the
    // commands that write (send, read, run, set, restore); throws when
    // another holds the KX-RD4 past the time-out.
    ControllerSession& HeldController();
    // Throws the failure for a choice that is not made.
    static void Require(ControllerSession& session, const DeviceChoice& choice);
    // One exchange with the chosen KX-RD4; throws its error.
    ControllerSession::Reply Ask(const Exchange& exchange);
    // After Ctrl+C or SIGTERM (when interrupted): stops the axis (halting
    // program first when given) and throws the failure that says so, for the
    // commands that set the axis moving. Does nothing when not interrupted.
    void StopWhenInterrupted(std::optional<int> program = std::nullopt);
    // The config.ini that keeps the travel limits (--settings, else the
    // tool's own).
    std::string SettingsPath() const;
    // The travel limits kept for the KX-RD4 in use, if any (read once).
    std::optional<TravelLimits> Limits();
    // The limits given as --min, --max and --vmax (check, simulate: no
    // controller needed); nothing without them. Throws the usage error for
    // one of min and max alone, vmax or --start without them, min above max.
    std::optional<TravelLimits> LimitOptions() const;
    // Throws the failure for an axis seen beyond the limits and moving
    // further out, after sending the stop; does nothing otherwise (an axis
    // moving back towards the travel is let be).
    void StopBeyondLimits(std::int32_t position, std::int32_t velocity);
    // "KX-RD4 at /dev/hidraw3"
    std::string ControllerName();
    // The serial number, port and path of the KX-RD4 in use.
    DeviceIdentity ControllerIdentity();

private:
    const CommandArguments& arguments_;
    const Cli::BackendFactory& factory_;
    std::ostream& out_;
    std::ostream& err_;
    const std::atomic<bool>* interrupted_;
    std::shared_ptr<SimulatedHidBackend> emulated_; // --emulator
    std::unique_ptr<ControllerSession> session_;
    std::optional<std::optional<TravelLimits>> limits_; // once read
};
