#include "CommandContext.h"

#include "CommandFailure.h"
#include "EmulatedBackend.h"
#include "FileAccess.h"
#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "UsageError.h"

CommandContext::CommandContext(const CommandArguments& arguments,
                               const Cli::BackendFactory& factory, std::ostream& out,
                               std::ostream& err, const std::atomic<bool>* interrupted)
    : arguments_(arguments), factory_(factory), out_(out), err_(err), interrupted_(interrupted) {}

CommandContext::~CommandContext() = default;

Cli::BackendFactory CommandContext::Backends() {
    if (arguments_.emulator) {
        if (!emulated_) {
            emulated_ = EmulatedBackend::Create({}, arguments_.emulatedAxis);
        }
        return [emulated = emulated_] { return SimulatedHidBackend::NewClient(emulated); };
    }
    return factory_;
}

ControllerSession& CommandContext::Session() {
    if (!session_) {
        std::shared_ptr<HidBackend> backend;
        if (arguments_.emulator) {
            Backends();
            backend = emulated_;
        } else if (factory_) {
            backend = factory_();
        }
        if (!backend) {
            throw CommandFailure{"no HID support on this system"};
        }
        session_ = std::make_unique<ControllerSession>(std::move(backend), arguments_.timeout,
                                                       interrupted_);
    }
    return *session_;
}

ControllerSession& CommandContext::Controller() {
    ControllerSession& s = Session();
    std::string error;
    if (s.HidAvailable()) {
        Require(s, s.Choose(arguments_.device));
    }
    if (!s.Ready(error)) {
        throw CommandFailure{error};
    }
    return s;
}

ControllerSession& CommandContext::HeldController() {
    ControllerSession& s = Controller();
    std::string error;
    if (!s.LockController(error)) {
        throw CommandFailure{error};
    }
    return s;
}

void CommandContext::Require(ControllerSession& session, const DeviceChoice& choice) {
    using Outcome = DeviceChoice::Outcome;
    std::string error;
    if (choice.outcome == Outcome::NoController) {
        session.Ready(error);
        throw CommandFailure{error, Cli::NoDevice};
    }
    if (choice.outcome != Outcome::Chosen) {
        throw CommandFailure{choice.message, choice.outcome == Outcome::Several
                                                 ? Cli::SeveralDevices
                                                 : Cli::NoDevice};
    }
}

ControllerSession::Reply CommandContext::Ask(const Exchange& exchange) {
    ControllerSession& s = Controller();
    ControllerSession::Reply reply;
    std::string error;
    if (!exchange(s, reply, error)) {
        throw CommandFailure{error};
    }
    return reply;
}

std::string CommandContext::ControllerName() {
    for (const auto& e : Session().Devices()) {
        if (e.selected) {
            return "KX-RD4 at " + e.path;
        }
    }
    return "KX-RD4";
}

DeviceIdentity CommandContext::ControllerIdentity() {
    for (const auto& e : Session().Devices()) {
        if (e.selected) {
            return DeviceIdentity{e.serial, e.port, e.path};
        }
    }
    return {};
}

void CommandContext::StopWhenInterrupted(std::optional<int> program) {
    if (!Interrupted()) {
        return;
    }
    const std::string what = arguments_.command + ": interrupted; ";
    std::string error;
    if (!session_ || !session_->StopMotion(program, error)) {
        throw CommandFailure{what + "the stop could not be sent" +
                             (error.empty() ? std::string() : " (" + error + ")") +
                             ": the axis may still be moving"};
    }
    throw CommandFailure{what + (program ? "P" + std::to_string(*program) + " halted and " : "") +
                         "the motor sent to a stop (it decelerates at A max)"};
}

std::string CommandContext::SettingsPath() const {
    if (arguments_.settings) {
        return *arguments_.settings;
    }
    return SettingsLocation::ForExecutableDirectory(FileAccess::ExecutableDirectory());
}

std::optional<TravelLimits> CommandContext::Limits() {
    if (!limits_) {
        const DeviceIdentity identity = ControllerIdentity();
        const std::string key = TravelLimits::KeyFor(identity.serial, identity.port);
        limits_.emplace();
        if (!key.empty()) {
            *limits_ = TravelLimits::Parse(
                SettingsFile(SettingsPath()).ReadString(TravelLimits::Section, key, std::string()));
        }
    }
    return *limits_;
}

std::optional<TravelLimits> CommandContext::LimitOptions() const {
    const CommandArguments& a = arguments_;
    if (!a.limitMin && !a.limitMax) {
        if (a.limitVmax || (a.start && a.command == "check")) {
            throw UsageError{a.command + ": " + (a.limitVmax ? "--vmax" : "--start") +
                             " goes with the travel limits --min X --max X"};
        }
        return std::nullopt;
    }
    if (!a.limitMin || !a.limitMax) {
        throw UsageError{a.command + ": the travel limits need both --min and --max"};
    }
    if (*a.limitMin > *a.limitMax) {
        throw UsageError{a.command + ": --min " + std::to_string(*a.limitMin) + " is above --max " +
                         std::to_string(*a.limitMax)};
    }
    TravelLimits limits;
    limits.min = *a.limitMin;
    limits.max = *a.limitMax;
    limits.vmax = a.limitVmax;
    return limits;
}

void CommandContext::StopBeyondLimits(std::int32_t position, std::int32_t velocity) {
    const std::optional<TravelLimits> limits = Limits();
    if (!limits || !limits->LeavingAt(position, velocity)) {
        return;
    }
    std::string error;
    const bool stopped = session_ && session_->StopMotion(std::nullopt, error);
    throw CommandFailure{
        arguments_.command + ": the axis reached " + std::to_string(position) +
        ", beyond the travel limits " + limits->Range() +
        (stopped ? "; the motor sent to a stop (it decelerates at A max)"
                 : "; the stop could not be sent (" + error + "): the axis may still be moving")};
}
