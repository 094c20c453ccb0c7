#include "RestoreAll.h"

#include <thread>

#include "ControllerSession.h"

RestoreAll::Outcome RestoreAll::RunOne(const DeviceIdentity& controller,
                                       std::shared_ptr<HidBackend> backend,
                                       std::chrono::milliseconds timeout,
                                       const ControllerBackup& file,
                                       const BackupSession::Selection& selection,
                                       const std::atomic<bool>* interrupted) {
    Outcome outcome;
    outcome.controller = controller;
    if (!backend) {
        outcome.error = "no HID support on this system";
        return outcome;
    }
    ControllerSession session(std::move(backend), timeout, interrupted);
    const DeviceChoice choice = session.Choose(controller.path);
    if (choice.outcome != DeviceChoice::Outcome::Chosen) {
        outcome.error = "the KX-RD4 at " + controller.path + " is gone";
        return outcome;
    }
    if (!session.Ready(outcome.error)) {
        return outcome;
    }
    BackupSession restore(session);
    restore.SetProgress(
        [interrupted](int, int) { return interrupted == nullptr || !interrupted->load(); });
    outcome.items = restore.Restore(file, selection);
    outcome.verified = BackupSession::AllVerified(outcome.items);
    return outcome;
}

std::vector<RestoreAll::Outcome>
RestoreAll::Run(const std::vector<DeviceIdentity>& controllers, const BackendFactory& factory,
                std::chrono::milliseconds timeout, const ControllerBackup& file,
                const BackupSession::Selection& selection, const std::atomic<bool>* interrupted) {
    std::vector<Outcome> outcomes(controllers.size());
    // The back ends are made here, one after another; each thread drives
    // its own.
    std::vector<std::shared_ptr<HidBackend>> backends;
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        backends.push_back(factory ? factory() : nullptr);
    }
    std::vector<std::thread> threads;
    threads.reserve(controllers.size());
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        threads.emplace_back([&, i] {
            outcomes[i] = RunOne(controllers[i], std::move(backends[i]), timeout, file, selection,
                                 interrupted);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    return outcomes;
}
