// The C API's functions that need no controller: versions and messages,
// programs and their listings, the program check, the dry run, backup texts
// and their comparison; each a call of the model's and emulator's classes.

#include <cstdlib>
#include <cstring>

#include "ApiError.h"
#include "ApiObjects.h"
#include "ProgramListing.h"

namespace {

// Text handed out through a char**, freed with kxrd4_free.
kxrd4_status HandOut(const std::string& text, char** out) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) {
        return KXRD4_NO_MEMORY;
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    *out = copy;
    return KXRD4_OK;
}

kxrd4_status Where(int program, int line) {
    if (!ProgramSet::IsValidProgram(program) || line < 0 || line >= LinesPerProgram) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "P" + std::to_string(program) + " line " +
                                                          std::to_string(line) +
                                                          " is not P0..P9, line 0..24");
    }
    return KXRD4_OK;
}

template <typename T> kxrd4_status Give(std::unique_ptr<T> value, T** out) {
    *out = value.release();
    return KXRD4_OK;
}

} // namespace

extern "C" {

KXRD4_API uint32_t kxrd4_version(void) {
    return KXRD4_VERSION;
}

KXRD4_API const char* kxrd4_version_string(void) {
#define KXRD4_TEXT(x) #x
#define KXRD4_VERSION_TEXT(a, b, c) KXRD4_TEXT(a) "." KXRD4_TEXT(b) "." KXRD4_TEXT(c)
    return KXRD4_VERSION_TEXT(KXRD4_VERSION_MAJOR, KXRD4_VERSION_MINOR, KXRD4_VERSION_PATCH);
}

KXRD4_API const char* kxrd4_status_name(kxrd4_status status) {
    switch (ApiError::Raw(status)) {
    case KXRD4_OK:
        return "KXRD4_OK";
    case KXRD4_ERROR:
        return "KXRD4_ERROR";
    case KXRD4_INVALID_ARGUMENT:
        return "KXRD4_INVALID_ARGUMENT";
    case KXRD4_NO_CONTROLLER:
        return "KXRD4_NO_CONTROLLER";
    case KXRD4_SEVERAL_CONTROLLERS:
        return "KXRD4_SEVERAL_CONTROLLERS";
    case KXRD4_TIMEOUT:
        return "KXRD4_TIMEOUT";
    case KXRD4_DISCONNECTED:
        return "KXRD4_DISCONNECTED";
    case KXRD4_BUSY:
        return "KXRD4_BUSY";
    case KXRD4_PROGRAM_REFUSED:
        return "KXRD4_PROGRAM_REFUSED";
    case KXRD4_NOT_VERIFIED:
        return "KXRD4_NOT_VERIFIED";
    case KXRD4_NOT_CARRIED_OUT:
        return "KXRD4_NOT_CARRIED_OUT";
    case KXRD4_PARSE_ERROR:
        return "KXRD4_PARSE_ERROR";
    case KXRD4_NO_MEMORY:
        return "KXRD4_NO_MEMORY";
    case KXRD4_NO_ACCESS:
        return "KXRD4_NO_ACCESS";
    case KXRD4_INTERRUPTED:
        return "KXRD4_INTERRUPTED";
    }
    return "KXRD4_UNKNOWN";
}

KXRD4_API const char* kxrd4_thread_error(void) {
    return ApiError::Thread();
}

KXRD4_API void kxrd4_free(void* text) {
    std::free(text);
}

KXRD4_API size_t kxrd4_device_list_count(const kxrd4_device_list* list) {
    return list != nullptr ? list->entries.size() : 0;
}

KXRD4_API const char* kxrd4_device_list_serial(const kxrd4_device_list* list, size_t index) {
    return list != nullptr && index < list->entries.size() ? list->entries[index].serial.c_str()
                                                           : nullptr;
}

KXRD4_API const char* kxrd4_device_list_port(const kxrd4_device_list* list, size_t index) {
    return list != nullptr && index < list->entries.size() ? list->entries[index].port.c_str()
                                                           : nullptr;
}

KXRD4_API const char* kxrd4_device_list_path(const kxrd4_device_list* list, size_t index) {
    return list != nullptr && index < list->entries.size() ? list->entries[index].path.c_str()
                                                           : nullptr;
}

KXRD4_API void kxrd4_device_list_free(kxrd4_device_list* list) {
    delete list;
}

KXRD4_API kxrd4_status kxrd4_programs_new(kxrd4_programs** programs) {
    if (programs == nullptr) {
        return ApiError::Null("programs");
    }
    return ApiError::Guard([&] { return Give(std::make_unique<kxrd4_programs>(), programs); });
}

KXRD4_API kxrd4_status kxrd4_programs_from_bytes(const void* bytes, size_t size,
                                                 kxrd4_programs** programs) {
    if (programs == nullptr || bytes == nullptr) {
        return ApiError::Null(programs == nullptr ? "programs" : "bytes");
    }
    *programs = nullptr;
    if (size != ProgramSet::Size()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "a program file holds exactly 2000 bytes, not " +
                                  std::to_string(size));
    }
    return ApiError::Guard([&] {
        auto result = std::make_unique<kxrd4_programs>();
        std::memcpy(result->set.Data(), bytes, size);
        return Give(std::move(result), programs);
    });
}

KXRD4_API kxrd4_status kxrd4_programs_from_listing(const char* text, size_t length, int clamp,
                                                   kxrd4_programs** programs) {
    if (programs == nullptr || (text == nullptr && length != 0)) {
        return ApiError::Null(programs == nullptr ? "programs" : "text");
    }
    *programs = nullptr;
    return ApiError::Guard([&] {
        auto result = std::make_unique<kxrd4_programs>();
        ProgramListing::Error error;
        if (!ProgramListing::Parse(std::string_view(text != nullptr ? text : "", length),
                                   clamp != 0, result->set, error)) {
            return ApiError::Fail(KXRD4_PARSE_ERROR, "listing line " +
                                                         std::to_string(error.lineNumber) + ": " +
                                                         error.message);
        }
        return Give(std::move(result), programs);
    });
}

KXRD4_API kxrd4_status kxrd4_programs_bytes(const kxrd4_programs* programs, void* buffer,
                                            size_t size) {
    if (programs == nullptr || buffer == nullptr) {
        return ApiError::Null(programs == nullptr ? "programs" : "buffer");
    }
    if (size < ProgramSet::Size()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "the buffer holds fewer than 2000 bytes");
    }
    std::memcpy(buffer, programs->set.Data(), ProgramSet::Size());
    return KXRD4_OK;
}

KXRD4_API kxrd4_status kxrd4_programs_listing(const kxrd4_programs* programs, int program, int raw,
                                              char** text) {
    if (programs == nullptr || text == nullptr) {
        return ApiError::Null(programs == nullptr ? "programs" : "text");
    }
    *text = nullptr;
    if (program != -1 && !ProgramSet::IsValidProgram(program)) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "program " + std::to_string(program) + " is not 0 to 9 (or -1)");
    }
    return ApiError::Guard([&] {
        std::vector<int> which;
        for (int p = 0; p < ProgramCount; ++p) {
            if (program == -1 || p == program) {
                which.push_back(p);
            }
        }
        return HandOut(ProgramListing::Write(programs->set, which, raw != 0), text);
    });
}

KXRD4_API kxrd4_status kxrd4_programs_get_line(const kxrd4_programs* programs, int program,
                                               int line, uint8_t bytes[8]) {
    if (programs == nullptr || bytes == nullptr) {
        return ApiError::Null(programs == nullptr ? "programs" : "bytes");
    }
    if (const kxrd4_status s = Where(program, line); s != KXRD4_OK) {
        return s;
    }
    std::memcpy(bytes, programs->set.LineBytes(program, line), KXRD4_LINE_BYTES);
    return KXRD4_OK;
}

KXRD4_API kxrd4_status kxrd4_programs_set_line(kxrd4_programs* programs, int program, int line,
                                               const uint8_t bytes[8]) {
    if (programs == nullptr || bytes == nullptr) {
        return ApiError::Null(programs == nullptr ? "programs" : "bytes");
    }
    if (const kxrd4_status s = Where(program, line); s != KXRD4_OK) {
        return s;
    }
    std::memcpy(programs->set.LineBytes(program, line), bytes, KXRD4_LINE_BYTES);
    return KXRD4_OK;
}

KXRD4_API void kxrd4_programs_free(kxrd4_programs* programs) {
    delete programs;
}

KXRD4_API kxrd4_status kxrd4_check(const kxrd4_programs* programs, int program,
                                   kxrd4_findings** findings) {
    if (programs == nullptr || findings == nullptr) {
        return ApiError::Null(programs == nullptr ? "programs" : "findings");
    }
    *findings = nullptr;
    if (program != -1 && !ProgramSet::IsValidProgram(program)) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "program " + std::to_string(program) + " is not 0 to 9 (or -1)");
    }
    return ApiError::Guard([&] {
        auto result = std::make_unique<kxrd4_findings>();
        result->findings = program == -1 ? ProgramCheck::CheckAll(programs->set)
                                         : ProgramCheck::CheckProgram(programs->set, program);
        return Give(std::move(result), findings);
    });
}

KXRD4_API size_t kxrd4_findings_count(const kxrd4_findings* findings) {
    return findings != nullptr ? findings->findings.size() : 0;
}

KXRD4_API kxrd4_status kxrd4_findings_get(const kxrd4_findings* findings, size_t index,
                                          kxrd4_finding* finding) {
    if (findings == nullptr || finding == nullptr) {
        return ApiError::Null(findings == nullptr ? "findings" : "finding");
    }
    if (index >= findings->findings.size()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "no finding " + std::to_string(index));
    }
    const ProgramCheck::Finding& f = findings->findings[index];
    *finding = kxrd4_finding{f.program,
                             f.line,
                             f.LastLine(),
                             f.grade == ProgramCheck::Grade::Error ? 1 : 0,
                             ProgramCheck::Code(f.kind),
                             f.english.c_str()};
    return KXRD4_OK;
}

KXRD4_API int kxrd4_findings_has_errors(const kxrd4_findings* findings) {
    return findings != nullptr && ProgramCheck::HasErrors(findings->findings) ? 1 : 0;
}

KXRD4_API void kxrd4_findings_free(kxrd4_findings* findings) {
    delete findings;
}

KXRD4_API kxrd4_status kxrd4_simulate(const kxrd4_programs* programs, int program, int64_t limit_ms,
                                      const kxrd4_input_change* inputs, size_t input_count,
                                      const kxrd4_backup* parameters, int sample_every_ms,
                                      kxrd4_dry_run** run) {
    if (programs == nullptr || run == nullptr || (inputs == nullptr && input_count != 0)) {
        return ApiError::Null(programs == nullptr ? "programs" : run == nullptr ? "run" : "inputs");
    }
    *run = nullptr;
    if (!ProgramSet::IsValidProgram(program)) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "program " + std::to_string(program) + " is not 0 to 9");
    }
    if (limit_ms < 1 || limit_ms > ProgramDryRun::MaxLimitMs || sample_every_ms < 0) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "the limit is 1 ms to one day, the sample period 0 or more");
    }
    ProgramDryRun::Options options;
    options.limitMs = limit_ms;
    for (std::size_t i = 0; i < input_count; ++i) {
        if (inputs[i].input != 0 && inputs[i].input != 1) {
            return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "the inputs are 0 and 1");
        }
        options.inputs.push_back({inputs[i].time_ms, inputs[i].input, inputs[i].on != 0});
    }
    options.parameters = parameters != nullptr ? &parameters->backup : nullptr;
    options.sampleEveryMs = sample_every_ms;
    return ApiError::Guard([&] {
        auto result = std::make_unique<kxrd4_dry_run>();
        result->result = ProgramDryRun::Run(programs->set, program, options);
        for (const auto& s : result->result.samples) {
            result->samples.push_back({s.timeMs, s.position, s.velocity});
        }
        return Give(std::move(result), run);
    });
}

KXRD4_API kxrd4_status kxrd4_dry_run_result_get(const kxrd4_dry_run* run,
                                                kxrd4_dry_run_result* result) {
    if (run == nullptr || result == nullptr) {
        return ApiError::Null(run == nullptr ? "run" : "result");
    }
    const ProgramDryRun::Result& r = run->result;
    *result = kxrd4_dry_run_result{
        r.ended ? 1 : 0,     r.endMs,         static_cast<kxrd4_waiting>(r.waiting),
        r.program,           r.line,          r.waitInput,
        r.waitState ? 1 : 0, r.faults.size(), run->samples.size()};
    return KXRD4_OK;
}

KXRD4_API kxrd4_status kxrd4_dry_run_fault(const kxrd4_dry_run* run, size_t index,
                                           kxrd4_fault* fault) {
    if (run == nullptr || fault == nullptr) {
        return ApiError::Null(run == nullptr ? "run" : "fault");
    }
    if (index >= run->result.faults.size()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "no fault " + std::to_string(index));
    }
    const auto& f = run->result.faults[index];
    *fault = kxrd4_fault{f.TimeMs, f.Program, f.Line, f.Reason.c_str()};
    return KXRD4_OK;
}

KXRD4_API kxrd4_status kxrd4_dry_run_samples(const kxrd4_dry_run* run, const kxrd4_sample** samples,
                                             size_t* count) {
    if (run == nullptr || samples == nullptr || count == nullptr) {
        return ApiError::Null(run == nullptr ? "run" : samples == nullptr ? "samples" : "count");
    }
    *samples = run->samples.data();
    *count = run->samples.size();
    return KXRD4_OK;
}

KXRD4_API void kxrd4_dry_run_free(kxrd4_dry_run* run) {
    delete run;
}

KXRD4_API kxrd4_status kxrd4_backup_parse(const char* text, size_t length, kxrd4_backup** backup) {
    if (backup == nullptr || (text == nullptr && length != 0)) {
        return ApiError::Null(backup == nullptr ? "backup" : "text");
    }
    *backup = nullptr;
    return ApiError::Guard([&] {
        auto result = std::make_unique<kxrd4_backup>();
        ControllerBackup::Error error;
        if (!ControllerBackup::Parse(std::string_view(text != nullptr ? text : "", length),
                                     result->backup, error)) {
            return ApiError::Fail(KXRD4_PARSE_ERROR, "backup line " +
                                                         std::to_string(error.lineNumber) + ": " +
                                                         error.message);
        }
        return Give(std::move(result), backup);
    });
}

KXRD4_API kxrd4_status kxrd4_backup_text(const kxrd4_backup* backup, char** text) {
    if (backup == nullptr || text == nullptr) {
        return ApiError::Null(backup == nullptr ? "backup" : "text");
    }
    *text = nullptr;
    return ApiError::Guard([&] {
        return HandOut(backup->backup.Write({"libkxrd4 " + std::string(kxrd4_version_string())}),
                       text);
    });
}

KXRD4_API kxrd4_status kxrd4_backup_parameter(const kxrd4_backup* backup, const char* name,
                                              int32_t* value, int* contact_type) {
    if (backup == nullptr || name == nullptr || value == nullptr) {
        return ApiError::Null(backup == nullptr ? "backup" : name == nullptr ? "name" : "value");
    }
    const auto it = backup->backup.parameters.find(std::string_view(name));
    if (it == backup->backup.parameters.end()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT,
                              "the backup holds no parameter \"" + std::string(name) + "\"");
    }
    *value = it->second.value;
    if (contact_type != nullptr) {
        *contact_type = it->second.contactType;
    }
    return KXRD4_OK;
}

KXRD4_API kxrd4_status kxrd4_backup_programs(const kxrd4_backup* backup,
                                             kxrd4_programs** programs) {
    if (backup == nullptr || programs == nullptr) {
        return ApiError::Null(backup == nullptr ? "backup" : "programs");
    }
    return ApiError::Guard([&] {
        auto result = std::make_unique<kxrd4_programs>();
        result->set = backup->backup.programs;
        return Give(std::move(result), programs);
    });
}

KXRD4_API void kxrd4_backup_free(kxrd4_backup* backup) {
    delete backup;
}

KXRD4_API size_t kxrd4_restore_report_count(const kxrd4_restore_report* report) {
    return report != nullptr ? report->items.size() : 0;
}

KXRD4_API kxrd4_status kxrd4_restore_report_get(const kxrd4_restore_report* report, size_t index,
                                                kxrd4_restore_item* item) {
    if (report == nullptr || item == nullptr) {
        return ApiError::Null(report == nullptr ? "report" : "item");
    }
    if (index >= report->items.size()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "no item " + std::to_string(index));
    }
    const auto& i = report->items[index];
    *item = kxrd4_restore_item{i.name.c_str(), i.result, i.file.c_str(), i.controller.c_str()};
    return KXRD4_OK;
}

KXRD4_API int kxrd4_restore_report_verified(const kxrd4_restore_report* report) {
    return report != nullptr && report->verified ? 1 : 0;
}

KXRD4_API void kxrd4_restore_report_free(kxrd4_restore_report* report) {
    delete report;
}

KXRD4_API kxrd4_status kxrd4_backup_compare(const kxrd4_backup* a, const kxrd4_backup* b,
                                            kxrd4_differences** differences) {
    if (a == nullptr || b == nullptr || differences == nullptr) {
        return ApiError::Null(a == nullptr ? "a" : b == nullptr ? "b" : "differences");
    }
    *differences = nullptr;
    return ApiError::Guard([&] {
        auto result =
            std::make_unique<kxrd4_differences>(BackupComparison::Compare(a->backup, b->backup));
        return Give(std::move(result), differences);
    });
}

KXRD4_API size_t kxrd4_differences_count(const kxrd4_differences* differences) {
    return differences != nullptr ? differences->names.size() : 0;
}

KXRD4_API kxrd4_status kxrd4_differences_get(const kxrd4_differences* differences, size_t index,
                                             kxrd4_difference* difference) {
    if (differences == nullptr || difference == nullptr) {
        return ApiError::Null(differences == nullptr ? "differences" : "difference");
    }
    if (index >= differences->names.size()) {
        return ApiError::Fail(KXRD4_INVALID_ARGUMENT, "no difference " + std::to_string(index));
    }
    const auto& d = differences->comparison.Differences()[index];
    *difference = kxrd4_difference{differences->names[index].c_str(), d.a.c_str(), d.b.c_str()};
    return KXRD4_OK;
}

KXRD4_API int kxrd4_differences_same(const kxrd4_differences* differences) {
    return differences != nullptr && differences->comparison.Same() ? 1 : 0;
}

KXRD4_API kxrd4_status kxrd4_differences_text(const kxrd4_differences* differences,
                                              const char* a_name, const char* b_name, char** text) {
    if (differences == nullptr || text == nullptr) {
        return ApiError::Null(differences == nullptr ? "differences" : "text");
    }
    *text = nullptr;
    return ApiError::Guard([&] {
        return HandOut(differences->comparison.Text(a_name != nullptr ? a_name : "a",
                                                    b_name != nullptr ? b_name : "b"),
                       text);
    });
}

KXRD4_API void kxrd4_differences_free(kxrd4_differences* differences) {
    delete differences;
}

} // extern "C"
