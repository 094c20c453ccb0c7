#pragma once
// One backup restored onto several KX-RD4s at once: a thread and a session
// of its own for each controller (each with its own back end, as a second
// program would have), each restore read back and verified as a single
// restore is (BackupSession). Used by "kxrd4-cli restore FILE --all".

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BackupSession.h"
#include "DeviceIdentity.h"

class HidBackend;

class RestoreAll {
public:
    using BackendFactory = std::function<std::shared_ptr<HidBackend>()>;

    struct Outcome {
        DeviceIdentity controller;
        std::vector<BackupSession::Item> items; // the restore's table (empty when it never ran)
        bool verified = false;                  // every item written was read back and verified
        std::string error;                      // why the restore did not run at all
    };

    // Restores selection of file onto each controller (found again by its
    // path) in parallel; the outcomes in the order of controllers.
    // interrupted, when set, stops every restore at its next exchange.
    static std::vector<Outcome> Run(const std::vector<DeviceIdentity>& controllers,
                                    const BackendFactory& factory,
                                    std::chrono::milliseconds timeout, const ControllerBackup& file,
                                    const BackupSession::Selection& selection,
                                    const std::atomic<bool>* interrupted = nullptr);

    // One restore, on the calling thread, through backend.
    static Outcome RunOne(const DeviceIdentity& controller, std::shared_ptr<HidBackend> backend,
                          std::chrono::milliseconds timeout, const ControllerBackup& file,
                          const BackupSession::Selection& selection,
                          const std::atomic<bool>* interrupted);
};
