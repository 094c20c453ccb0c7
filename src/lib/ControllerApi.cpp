// The C API's functions on a controller: opening, programs, parameters,
// motion, backup, restore and diff, each a call of the shared session classes
// in ControllerHandle::Call.

#include <cstring>

#include "ApiError.h"
#include "ApiObjects.h"
#include "AxisMotion.h"
#include "BackupSession.h"
#include "ControllerHandle.h"
#include "EmulatedBackend.h"
#include "ParameterAccess.h"
#include "PlatformHidBackend.h"
#include "ProgramCheck.h"
#include "SimulatedHidBackend.h"

namespace {

std::chrono::milliseconds Timeout(std::uint32_t ms) {
    return ms == 0 ? ControllerHandle::DefaultTimeout : std::chrono::milliseconds(ms);
}

kxrd4_status OpenWith(std::shared_ptr<HidBackend> backend, int kind, const char* value,
                      std::uint32_t timeoutMs, kxrd4_controller** controller) {
    if (controller == nullptr) {
        return ApiError::Null("controller");
    }
    *controller = nullptr;
    if (kind != KXRD4_ANY && kind != KXRD4_SERIAL && kind != KXRD4_PORT && kind != KXRD4_PATH) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "unknown selector kind");
    }
    const auto by = static_cast<kxrd4_selector>(kind);
    if (by != KXRD4_ANY && (value == nullptr || *value == '\0')) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "the selector's value is empty");
    }
    std::unique_ptr<ControllerHandle> handle;
    std::string error;
    const kxrd4_status status = ControllerHandle::Open(
        std::move(backend), by, value != nullptr ? value : "", Timeout(timeoutMs), handle, error);
    if (status != KXRD4_OK) {
        return ApiError::Fail(status, error);
    }
    *controller = new kxrd4_controller{std::move(handle)};
    return KXRD4_OK;
}

kxrd4_status Program(int program) {
    if (!ProgramSet::IsValidProgram(program)) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "program " + std::to_string(program) + " is not 0 to 9");
    }
    return KXRD4_OK;
}

// Runs work on controller, or fails for a NULL.
kxrd4_status On(kxrd4_controller* controller, const ControllerHandle::Work& work) {
    if (controller == nullptr || !controller->handle) {
        return ApiError::Null("controller");
    }
    return controller->handle->Call(work);
}

kxrd4_status Failed(ControllerSession&, kxrd4_controller* controller) {
    return controller->handle->FailureStatus();
}

// One request without a value.
kxrd4_status Simple(kxrd4_controller* controller, MessageLetter letter) {
    return On(controller, [&](ControllerSession& s, std::string& e) {
        ControllerSession::Reply reply;
        return s.Request(letter, reply, e) ? KXRD4_OK : Failed(s, controller);
    });
}

kxrd4_status Wait(kxrd4_controller* controller, ControllerSession& s, std::int32_t goal,
                  std::optional<std::int32_t> homedFrom, std::uint32_t timeoutMs,
                  std::string& error) {
    std::int32_t position = 0;
    const std::chrono::duration<double> limit =
        std::chrono::milliseconds(timeoutMs == 0 ? 60000 : timeoutMs);
    // kxrd4_interrupt ends the wait between two polls too.
    struct Interruption {};
    AxisMotion::Hooks hooks;
    hooks.between = [controller] {
        if (controller->handle->Interrupted()) {
            throw Interruption{};
        }
    };
    AxisMotion::End end = AxisMotion::End::Failed;
    try {
        end = AxisMotion::WaitAtRest(s, goal, homedFrom, limit, hooks, position, error);
    } catch (const Interruption&) {
        error = "interrupted while waiting for the axis (at " + std::to_string(position) +
                "); it was not stopped";
        return KXRD4_INTERRUPTED;
    }
    switch (end) {
    case AxisMotion::End::AtRest:
        return KXRD4_OK;
    case AxisMotion::End::NotCarriedOut:
        return KXRD4_NOT_CARRIED_OUT;
    case AxisMotion::End::TimedOut:
        return KXRD4_TIMEOUT;
    case AxisMotion::End::Failed:
        break;
    }
    return controller->handle->FailureStatus();
}

kxrd4_item_result ItemResult(BackupSession::Item::Result result) {
    using R = BackupSession::Item::Result;
    switch (result) {
    case R::Verified:
        return KXRD4_ITEM_VERIFIED;
    case R::Differs:
        return KXRD4_ITEM_DIFFERS;
    case R::Failed:
        return KXRD4_ITEM_FAILED;
    case R::Unverified:
        return KXRD4_ITEM_UNVERIFIED;
    case R::NotRestored:
        break;
    }
    return KXRD4_ITEM_NOT_RESTORED;
}

} // namespace

extern "C" {

KXRD4_API kxrd4_status kxrd4_list(kxrd4_device_list** list) {
    if (list == nullptr) {
        return ApiError::Null("list");
    }
    *list = nullptr;
    return ApiError::Guard([&] {
        std::shared_ptr<HidBackend> backend = CreatePlatformHidBackend();
        if (!backend || !backend->Available()) {
            return ApiError::Fail(KXRD4_ERROR, "no HID support on this system");
        }
        ControllerSession session(std::move(backend), ControllerHandle::DefaultTimeout);
        auto result = std::make_unique<kxrd4_device_list>();
        for (const auto& e : session.Devices()) {
            if (!e.path.empty()) {
                result->entries.push_back({e.serial, e.port, e.path});
            }
        }
        *list = result.release();
        return KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_open(kxrd4_selector by, const char* value, uint32_t timeout_ms,
                                  kxrd4_controller** controller) {
    return ApiError::Guard([&] {
        return OpenWith(CreatePlatformHidBackend(), ApiError::Raw(by), value, timeout_ms,
                        controller);
    });
}

KXRD4_API kxrd4_status kxrd4_open_emulator(const char* serial, uint32_t timeout_ms,
                                           kxrd4_controller** controller) {
    return ApiError::Guard([&] {
        const std::string s = serial != nullptr ? serial : "";
        return OpenWith(EmulatedBackend::Create(s), KXRD4_ANY, nullptr, timeout_ms, controller);
    });
}

KXRD4_API void kxrd4_close(kxrd4_controller* controller) {
    delete controller;
}

KXRD4_API const char* kxrd4_controller_serial(const kxrd4_controller* controller) {
    return controller != nullptr ? controller->handle->Identity().serial.c_str() : "";
}

KXRD4_API const char* kxrd4_controller_port(const kxrd4_controller* controller) {
    return controller != nullptr ? controller->handle->Identity().port.c_str() : "";
}

KXRD4_API const char* kxrd4_controller_path(const kxrd4_controller* controller) {
    return controller != nullptr ? controller->handle->Identity().path.c_str() : "";
}

KXRD4_API void kxrd4_interrupt(kxrd4_controller* controller) {
    if (controller != nullptr) {
        controller->handle->Interrupt();
    }
}

KXRD4_API size_t kxrd4_controller_error(kxrd4_controller* controller, char* buffer, size_t size) {
    if (controller == nullptr) {
        if (buffer != nullptr && size > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    return controller->handle->CopyError(buffer, size);
}

KXRD4_API kxrd4_status kxrd4_send_program(kxrd4_controller* controller,
                                          const kxrd4_programs* programs, int program, int force,
                                          kxrd4_findings** findings) {
    if (findings != nullptr) {
        *findings = nullptr;
    }
    if (programs == nullptr) {
        return ApiError::Null("programs");
    }
    if (const kxrd4_status s = Program(program); s != KXRD4_OK) {
        return s;
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        auto check = std::make_unique<kxrd4_findings>();
        check->findings = ProgramCheck::CheckProgram(programs->set, program);
        const bool errors = ProgramCheck::HasErrors(check->findings);
        kxrd4_status status = KXRD4_OK;
        if (errors && force == 0) {
            std::size_t count = 0;
            for (const auto& f : check->findings) {
                count += f.grade == ProgramCheck::Grade::Error ? 1 : 0;
            }
            for (const auto& f : check->findings) {
                if (f.grade == ProgramCheck::Grade::Error) {
                    e = "P" + std::to_string(program) + " has " + std::to_string(count) +
                        (count == 1 ? " error" : " errors") + " (the first: P" +
                        std::to_string(f.program) + " line " + std::to_string(f.line) + ", " +
                        f.english + "); nothing was sent (force sends it anyway)";
                    break;
                }
            }
            status = KXRD4_PROGRAM_REFUSED;
        } else {
            ProgramSet copy = programs->set;
            status = s.SendProgram(copy, program, e) ? KXRD4_OK : Failed(s, controller);
        }
        if (findings != nullptr) {
            *findings = check.release();
        }
        return status;
    });
}

KXRD4_API kxrd4_status kxrd4_read_program(kxrd4_controller* controller, int program,
                                          kxrd4_programs* into) {
    if (into == nullptr) {
        return ApiError::Null("into");
    }
    if (const kxrd4_status s = Program(program); s != KXRD4_OK) {
        return s;
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        return s.ReadProgram(into->set, program, e) ? KXRD4_OK : Failed(s, controller);
    });
}

KXRD4_API kxrd4_status kxrd4_run(kxrd4_controller* controller, int program) {
    if (const kxrd4_status s = Program(program); s != KXRD4_OK) {
        return s;
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        // Not while another writer sends a program.
        if (!s.LockController(e)) {
            return Failed(s, controller);
        }
        ControllerSession::Reply reply;
        const bool ok =
            s.Byte(MessageLetter::ProgramStart, static_cast<std::uint8_t>(program), reply, e);
        s.UnlockController();
        return ok ? KXRD4_OK : Failed(s, controller);
    });
}

KXRD4_API kxrd4_status kxrd4_stop_program(kxrd4_controller* controller, int program) {
    if (const kxrd4_status s = Program(program); s != KXRD4_OK) {
        return s;
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        ControllerSession::Reply reply;
        return s.Byte(MessageLetter::ProgramHalt, static_cast<std::uint8_t>(program), reply, e)
                   ? KXRD4_OK
                   : Failed(s, controller);
    });
}

KXRD4_API kxrd4_status kxrd4_get(kxrd4_controller* controller, const char* name, int32_t* value,
                                 int* contact_type) {
    if (name == nullptr || value == nullptr) {
        return ApiError::Null(name == nullptr ? "name" : "value");
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        const ParameterTable::Parameter* p = ParameterAccess::Find(name, e);
        ControllerSession::Reply reply;
        if (p == nullptr || !p->read) {
            if (p != nullptr) {
                ParameterAccess::Read(s, *p, reply, e); // says that it cannot be read
            }
            return KXRD4_INVALID_ARGUMENT;
        }
        if (!ParameterAccess::Read(s, *p, reply, e)) {
            return s.LastFailure() == ControllerSession::Failure::None ? KXRD4_ERROR
                                                                       : Failed(s, controller);
        }
        *value = *reply.value;
        if (contact_type != nullptr) {
            *contact_type = reply.contactType.value_or(0);
        }
        return KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_set(kxrd4_controller* controller, const char* name, int32_t value,
                                 int contact_type) {
    if (name == nullptr) {
        return ApiError::Null("name");
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        const ParameterTable::Parameter* p = ParameterAccess::Find(name, e);
        if (p == nullptr) {
            return KXRD4_INVALID_ARGUMENT;
        }
        std::int32_t accepted = value;
        if (ParameterAccess::Accept(*p, value, accepted, e) != ParameterAccess::Check::Ok) {
            if (accepted != value) {
                e = std::string(p->name) + ": " + std::to_string(value) + " is outside " +
                    std::to_string(p->min) + " to " + std::to_string(p->max);
            }
            e += "; nothing was sent";
            return KXRD4_INVALID_ARGUMENT;
        }
        const bool homing = p->kind == ParameterTable::Kind::Homing;
        if (homing && contact_type != 0 && contact_type != 1) {
            e = "home: the contact type is 0 (NO) or 1 (NC), not " + std::to_string(contact_type);
            return KXRD4_INVALID_ARGUMENT;
        }
        if (!s.LockController(e)) {
            return Failed(s, controller);
        }
        const bool ok = ParameterAccess::Write(
            s, *p, accepted, static_cast<std::uint8_t>(homing ? contact_type : 0), e);
        s.UnlockController();
        return ok ? KXRD4_OK : Failed(s, controller);
    });
}

KXRD4_API kxrd4_status kxrd4_enable(kxrd4_controller* controller, int on) {
    return Simple(controller, on != 0 ? MessageLetter::EnableOn : MessageLetter::EnableOff);
}

KXRD4_API kxrd4_status kxrd4_jog(kxrd4_controller* controller, kxrd4_jog_kind kind, int32_t step) {
    const int what = ApiError::Raw(kind);
    if ((what != KXRD4_JOG_POSITION && what != KXRD4_JOG_VELOCITY) || step == 0 || step < -1000 ||
        step > 1000) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "a jog is by position or velocity, a step of 1 to 1000 either way");
    }
    const bool up = step > 0;
    const MessageLetter letter =
        what == KXRD4_JOG_POSITION ? (up ? MessageLetter::PositionUp : MessageLetter::PositionDown)
                                   : (up ? MessageLetter::VelocityUp : MessageLetter::VelocityDown);
    return On(controller, [&](ControllerSession& s, std::string& e) {
        ControllerSession::Reply reply;
        return s.Value(letter, up ? step : -step, reply, e) ? KXRD4_OK : Failed(s, controller);
    });
}

KXRD4_API kxrd4_status kxrd4_move(kxrd4_controller* controller, int32_t target, int wait,
                                  uint32_t timeout_ms) {
    if (target < -9999999 || target > 9999999) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "the target " + std::to_string(target) +
                                                          " is not -9999999 to 9999999");
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        ControllerSession::Reply reply;
        if (!s.Value(MessageLetter::XdstSet, target, reply, e)) {
            return Failed(s, controller);
        }
        return wait != 0 ? Wait(controller, s, target, std::nullopt, timeout_ms, e) : KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_home(kxrd4_controller* controller, int wait, uint32_t timeout_ms) {
    return On(controller, [&](ControllerSession& s, std::string& e) {
        std::int32_t velocity = 0;
        std::optional<std::int32_t> before;
        if (!AxisMotion::StartHoming(s, wait != 0, velocity, before, e)) {
            return Failed(s, controller);
        }
        return wait != 0 ? Wait(controller, s, 0, before, timeout_ms, e) : KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_stop(kxrd4_controller* controller) {
    return Simple(controller, MessageLetter::MotorStop);
}

KXRD4_API kxrd4_status kxrd4_brake(kxrd4_controller* controller) {
    return Simple(controller, MessageLetter::MotorBrake);
}

KXRD4_API kxrd4_status kxrd4_axis_get(kxrd4_controller* controller, kxrd4_axis* axis) {
    if (axis == nullptr) {
        return ApiError::Null("axis");
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        std::int32_t position = 0;
        std::int32_t velocity = 0;
        if (!s.Status(position, velocity, e)) {
            return Failed(s, controller);
        }
        *axis = kxrd4_axis{position, velocity, velocity == 0 ? 1 : 0};
        return KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_backup_read(kxrd4_controller* controller, kxrd4_backup** backup) {
    if (backup == nullptr) {
        return ApiError::Null("backup");
    }
    *backup = nullptr;
    return On(controller, [&](ControllerSession& s, std::string& e) {
        auto result = std::make_unique<kxrd4_backup>();
        if (!BackupSession(s).Read(result->backup, e)) {
            e = "reading the controller: " + e;
            return Failed(s, controller);
        }
        *backup = result.release();
        return KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_restore(kxrd4_controller* controller, const kxrd4_backup* backup,
                                     unsigned parts, kxrd4_restore_report** report) {
    if (backup == nullptr || report == nullptr) {
        return ApiError::Null(backup == nullptr ? "backup" : "report");
    }
    *report = nullptr;
    if (parts == 0 || (parts & ~(KXRD4_RESTORE_ALL | KXRD4_RESTORE_HOMING)) != 0) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "parts: KXRD4_RESTORE_PROGRAMS, _PARAMETERS and _HOMING only");
    }
    return On(controller, [&](ControllerSession& s, std::string& e) {
        BackupSession::Selection selection;
        if ((parts & KXRD4_RESTORE_PROGRAMS) != 0) {
            selection.programs.fill(true);
        }
        selection.parameters = (parts & (KXRD4_RESTORE_PARAMETERS | KXRD4_RESTORE_HOMING)) != 0;
        selection.homing = (parts & KXRD4_RESTORE_HOMING) != 0;
        const auto items = BackupSession(s).Restore(backup->backup, selection);
        auto result = std::make_unique<kxrd4_restore_report>();
        std::string trouble;
        for (const auto& item : items) {
            result->items.push_back({item.name, ItemResult(item.result), item.expected, item.got});
            if (trouble.empty() && (item.result == BackupSession::Item::Result::Differs ||
                                    item.result == BackupSession::Item::Result::Failed)) {
                trouble = item.name + " " + BackupSession::ResultText(item.result) + " (" +
                          item.got + ")";
            }
        }
        result->verified = BackupSession::AllVerified(items);
        *report = result.release();
        if (!(*report)->verified) {
            e = "the restore is not complete: " + trouble;
            return KXRD4_NOT_VERIFIED;
        }
        return KXRD4_OK;
    });
}

KXRD4_API kxrd4_status kxrd4_diff(kxrd4_controller* controller, const kxrd4_backup* backup,
                                  kxrd4_differences** differences) {
    if (backup == nullptr || differences == nullptr) {
        return ApiError::Null(backup == nullptr ? "backup" : "differences");
    }
    *differences = nullptr;
    return On(controller, [&](ControllerSession& s, std::string& e) {
        ControllerBackup current;
        if (!BackupSession(s).Read(current, e)) {
            e = "reading the controller: " + e;
            return Failed(s, controller);
        }
        ControllerBackup file = backup->backup;
        file.DropUnreadable();
        auto result = std::make_unique<kxrd4_differences>(BackupComparison::Compare(current, file));
        *differences = result.release();
        return KXRD4_OK;
    });
}

} // extern "C"
