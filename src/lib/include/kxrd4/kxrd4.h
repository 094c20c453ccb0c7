/* libkxrd4: the KX-RD4 motion controller from C (and from any language that
 * calls C: Python's ctypes, C#'s P/Invoke, LabVIEW's Call Library Function).
 *
 * Conventions
 * - Every function that can fail returns a kxrd4_status; KXRD4_OK (0) is
 *   success. The English message of the last failure is kept for the thread
 *   that called (kxrd4_thread_error) and, for functions on a controller, for
 *   the controller too (kxrd4_controller_error).
 * - Handles are opaque. Every *_free and kxrd4_close accepts NULL.
 * - Text is UTF-8, NUL-terminated. Text the library hands out through a
 *   char** is allocated by it and freed with kxrd4_free; strings reached
 *   through a handle or a result object stay valid until that object is
 *   freed (controller strings: until kxrd4_close).
 * - No C++ types and no exceptions cross this boundary.
 *
 * Threads
 * - A kxrd4_controller is one controller with a link of its own. Several
 *   controllers are independent and may be driven from different threads at
 *   the same time. Calls on one controller from several threads are
 *   serialized: each waits until the call before it has returned (a move
 *   with a wait holds the controller until the axis rests or the wait ends).
 *   kxrd4_interrupt does not wait and ends a wait in progress.
 * - Result objects (programs, findings, backups, reports, ...) are plain
 *   values: reading one from several threads is safe, changing one while
 *   another thread uses it is not.
 * - kxrd4_close must not be called while another thread is inside a call on
 *   the same controller.
 *
 * Versions: the macros give the version this header belongs to,
 * kxrd4_version() the version of the library loaded. Within one major
 * version (the 1 of libkxrd4.so.1, kxrd4.dll's file version) functions are
 * only added, never changed or removed; a program built against 1.x runs
 * with any 1.y, y >= x.
 *
 * Travel limits: the limits kxrd4-pc and kxrd4-cli keep per controller in
 * their config.ini are theirs; the library neither applies them to a move or
 * jog nor keeps a backup's [limits] section on restore. A program that needs
 * them checks its targets itself.
 *
 * Units: positions in steps, velocities in steps/s, times in milliseconds.
 * Programs are numbered 0..9, their lines 0..24, each line eight bytes.
 */
#ifndef KXRD4_KXRD4_H
#define KXRD4_KXRD4_H

#include <stddef.h>
#include <stdint.h>

#define KXRD4_VERSION_MAJOR 1
#define KXRD4_VERSION_MINOR 0
#define KXRD4_VERSION_PATCH 0
/* One number for a version, ordered as the versions are. */
#define KXRD4_MAKE_VERSION(major, minor, patch) (((major) << 16) | ((minor) << 8) | (patch))
#define KXRD4_VERSION                                                                              \
    KXRD4_MAKE_VERSION(KXRD4_VERSION_MAJOR, KXRD4_VERSION_MINOR, KXRD4_VERSION_PATCH)
/* True when this header is of the version given or a later one. */
#define KXRD4_VERSION_AT_LEAST(major, minor, patch)                                                \
    (KXRD4_VERSION >= KXRD4_MAKE_VERSION(major, minor, patch))

#if defined(_WIN32)
#if defined(KXRD4_BUILDING)
#define KXRD4_API __declspec(dllexport)
#else
#define KXRD4_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define KXRD4_API __attribute__((visibility("default")))
#else
#define KXRD4_API
#endif

#if defined(__GNUC__)
#define KXRD4_CHECK __attribute__((warn_unused_result))
#else
#define KXRD4_CHECK
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Status codes ------------------------------------------------------ */

typedef enum kxrd4_status {
    KXRD4_OK = 0,
    KXRD4_ERROR = 1,               /* a failure none of the codes below names */
    KXRD4_INVALID_ARGUMENT = 2,    /* a NULL, a number out of range, an unknown name */
    KXRD4_NO_CONTROLLER = 3,       /* no KX-RD4, or none the selector names */
    KXRD4_SEVERAL_CONTROLLERS = 4, /* several KX-RD4s and no selector, or one naming several */
    KXRD4_TIMEOUT = 5,             /* no answer in time, or a wait that ran out */
    KXRD4_DISCONNECTED = 6,        /* the controller went away */
    KXRD4_BUSY = 7,                /* another program holds the controller for a transfer */
    KXRD4_PROGRAM_REFUSED = 8,     /* the program check found errors; nothing was sent */
    KXRD4_NOT_VERIFIED = 9,        /* a restore with items that differ or failed */
    KXRD4_NOT_CARRIED_OUT = 10,    /* the axis did not take the move or homing */
    KXRD4_PARSE_ERROR = 11,        /* a listing or backup text that does not read */
    KXRD4_NO_MEMORY = 12,
    KXRD4_NO_ACCESS = 13,  /* the controller may only be queried (permissions) */
    KXRD4_INTERRUPTED = 14 /* kxrd4_interrupt ended the call */
} kxrd4_status;

/* ---- Opaque handles ---------------------------------------------------- */

typedef struct kxrd4_controller kxrd4_controller;         /* one open controller */
typedef struct kxrd4_device_list kxrd4_device_list;       /* controllers found */
typedef struct kxrd4_programs kxrd4_programs;             /* the ten programs */
typedef struct kxrd4_findings kxrd4_findings;             /* what the program check found */
typedef struct kxrd4_dry_run kxrd4_dry_run;               /* a program run offline */
typedef struct kxrd4_backup kxrd4_backup;                 /* parameters and programs (.kxb) */
typedef struct kxrd4_restore_report kxrd4_restore_report; /* a restore, item by item */
typedef struct kxrd4_differences kxrd4_differences;       /* two backups compared */

#define KXRD4_PROGRAMS 10
#define KXRD4_LINES 25
#define KXRD4_LINE_BYTES 8
#define KXRD4_PROGRAM_SET_BYTES 2000 /* a .kxp file: the ten programs, program-major */

/* ---- Versions, errors, memory ------------------------------------------ */

/* The version of the library loaded, as KXRD4_MAKE_VERSION makes it. */
KXRD4_API uint32_t kxrd4_version(void);
/* The same as text, "1.0.0". Static. */
KXRD4_API const char* kxrd4_version_string(void);
/* The name of a status code, "KXRD4_TIMEOUT" ("KXRD4_UNKNOWN" for others). Static. */
KXRD4_API const char* kxrd4_status_name(kxrd4_status status);
/* The English message of the last call of this thread that failed ("" when
 * none has). Valid until this thread's next call into the library. */
KXRD4_API const char* kxrd4_thread_error(void);
/* The English message of the last failed call on controller, copied into
 * buffer (at most size bytes, NUL-terminated, cut when longer). Returns the
 * length of the whole message, as snprintf does. Safe while other threads
 * use the controller. */
KXRD4_API size_t kxrd4_controller_error(kxrd4_controller* controller, char* buffer, size_t size);
/* Frees text the library handed out through a char**. NULL is allowed. */
KXRD4_API void kxrd4_free(void* text);

/* ---- Finding and opening controllers ----------------------------------- */

/* Lists the KX-RD4s plugged in now. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_list(kxrd4_device_list** list);
KXRD4_API size_t kxrd4_device_list_count(const kxrd4_device_list* list);
/* Serial number, USB port and device path of entry index ("" for what it
 * does not have; NULL for an index past the end). */
KXRD4_API const char* kxrd4_device_list_serial(const kxrd4_device_list* list, size_t index);
KXRD4_API const char* kxrd4_device_list_port(const kxrd4_device_list* list, size_t index);
KXRD4_API const char* kxrd4_device_list_path(const kxrd4_device_list* list, size_t index);
KXRD4_API void kxrd4_device_list_free(kxrd4_device_list* list);

typedef enum kxrd4_selector {
    KXRD4_ANY = 0,    /* the only KX-RD4 plugged; several: KXRD4_SEVERAL_CONTROLLERS */
    KXRD4_SERIAL = 1, /* the one with this serial number (exactly) */
    KXRD4_PORT = 2,   /* the one in this USB port ("1-2") */
    KXRD4_PATH = 3    /* the one at this device path ("/dev/hidraw3") */
} kxrd4_selector;

/* Opens the KX-RD4 that by and value name (value is ignored for KXRD4_ANY).
 * timeout_ms: how long each reply is awaited (0: 1000 ms). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_open(kxrd4_selector by, const char* value,
                                              uint32_t timeout_ms, kxrd4_controller** controller);
/* Opens an emulated KX-RD4 of its own inside this process, in its power-on
 * state, with serial number serial (NULL or "": "DEMO-1"); it is gone with
 * kxrd4_close. It behaves as the hardware does, for scripts and tests
 * without a controller. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_open_emulator(const char* serial, uint32_t timeout_ms,
                                                       kxrd4_controller** controller);
/* Closes the controller (lets go of it; the axis keeps what it does). */
KXRD4_API void kxrd4_close(kxrd4_controller* controller);
/* The open controller's serial number, USB port and path ("" when unknown). */
KXRD4_API const char* kxrd4_controller_serial(const kxrd4_controller* controller);
KXRD4_API const char* kxrd4_controller_port(const kxrd4_controller* controller);
KXRD4_API const char* kxrd4_controller_path(const kxrd4_controller* controller);
/* Ends the wait that a call on controller is in (a reply, a move or homing
 * awaited) with KXRD4_INTERRUPTED. It sends nothing: the axis keeps moving
 * until kxrd4_stop. Returns at once and may be called from any thread; the
 * next call on controller starts afresh. */
KXRD4_API void kxrd4_interrupt(kxrd4_controller* controller);

/* ---- Programs (offline) ------------------------------------------------ */

/* Ten empty programs. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_new(kxrd4_programs** programs);
/* From the 2000 bytes of a program file (.kxp); another size is refused. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_from_bytes(const void* bytes, size_t size,
                                                             kxrd4_programs** programs);
/* From a listing ("P3" starts a program, "[05]  X_DST  +01000" a line,
 * optionally " | " and its eight bytes; "#" comments). A line before any "Pn"
 * header is an error. With clamp, numbers beyond their range are clamped;
 * without, they are errors. KXRD4_PARSE_ERROR names the line. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_from_listing(const char* text, size_t length,
                                                               int clamp,
                                                               kxrd4_programs** programs);
/* Copies the 2000 bytes into buffer (size at least KXRD4_PROGRAM_SET_BYTES). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_bytes(const kxrd4_programs* programs,
                                                        void* buffer, size_t size);
/* The listing of program (0..9; -1: all ten), with raw (non-zero) each line
 * followed by its bytes so that it reads back exactly. Free with kxrd4_free. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_listing(const kxrd4_programs* programs,
                                                          int program, int raw, char** text);
/* The eight bytes of one line, read or written. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_get_line(const kxrd4_programs* programs,
                                                           int program, int line, uint8_t bytes[8]);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_programs_set_line(kxrd4_programs* programs, int program,
                                                           int line, const uint8_t bytes[8]);
KXRD4_API void kxrd4_programs_free(kxrd4_programs* programs);

/* ---- The program check (offline) --------------------------------------- */

typedef struct kxrd4_finding {
    int program; /* where it is */
    int line;
    int last_line;    /* the last line of a run of lines (== line for one line) */
    int is_error;     /* 1: the controller would fault; 0: a warning */
    const char* code; /* a stable name, "jump-to-empty-line" */
    const char* text; /* English, "jump to empty line 22" */
} kxrd4_finding;

/* Checks program (0..9) from its line 0 as the controller would run it,
 * following jumps into other programs; -1 checks every program with a line. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_check(const kxrd4_programs* programs, int program,
                                               kxrd4_findings** findings);
KXRD4_API size_t kxrd4_findings_count(const kxrd4_findings* findings);
/* Finding index (strings valid while findings lives). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_findings_get(const kxrd4_findings* findings, size_t index,
                                                      kxrd4_finding* finding);
/* 1 when any finding is an error. */
KXRD4_API int kxrd4_findings_has_errors(const kxrd4_findings* findings);
KXRD4_API void kxrd4_findings_free(kxrd4_findings* findings);

/* ---- The dry run (offline) --------------------------------------------- */

typedef struct kxrd4_input_change {
    int64_t time_ms; /* from the program's start */
    int input;       /* 0 or 1 */
    int on;
} kxrd4_input_change;

typedef enum kxrd4_waiting {
    KXRD4_WAITS_FOR_NOTHING = 0, /* the program ended */
    KXRD4_WAITS_FOR_INPUT = 1,   /* W_INP: wait_input to become wait_state */
    KXRD4_WAITS_FOR_AXIS = 2,    /* a move, homing or stop to end */
    KXRD4_WAITS_FOR_TIME = 3,    /* W_TIM or W_DEF longer than the rest of the limit */
    KXRD4_KEEPS_RUNNING = 4      /* it keeps running lines */
} kxrd4_waiting;

typedef struct kxrd4_dry_run_result {
    int ended;      /* END, or a fault */
    int64_t end_ms; /* when it ended: the cycle time */
    kxrd4_waiting waiting;
    int program; /* where it is at the limit */
    int line;
    int wait_input;
    int wait_state;
    size_t fault_count;
    size_t sample_count;
} kxrd4_dry_run_result;

typedef struct kxrd4_fault {
    int64_t time_ms;
    int program;
    int line;
    const char* reason; /* English */
} kxrd4_fault;

typedef struct kxrd4_sample {
    int64_t time_ms;
    int32_t position;
    int32_t velocity;
} kxrd4_sample;

/* Runs program (0..9) in a fresh emulated controller from its power-on state
 * (ENABLE off; with parameters, a backup's parameters) for up to limit_ms
 * (1 ms .. one day), far faster than real time. inputs (input_count of them,
 * NULL when 0) change the inputs on schedule. sample_every_ms > 0 records
 * position and velocity that often. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_simulate(
    const kxrd4_programs* programs, int program, int64_t limit_ms, const kxrd4_input_change* inputs,
    size_t input_count, const kxrd4_backup* parameters, int sample_every_ms, kxrd4_dry_run** run);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_dry_run_result_get(const kxrd4_dry_run* run,
                                                            kxrd4_dry_run_result* result);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_dry_run_fault(const kxrd4_dry_run* run, size_t index,
                                                       kxrd4_fault* fault);
/* The samples as one array (valid while run lives). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_dry_run_samples(const kxrd4_dry_run* run,
                                                         const kxrd4_sample** samples,
                                                         size_t* count);
KXRD4_API void kxrd4_dry_run_free(kxrd4_dry_run* run);

/* ---- Programs on the controller ---------------------------------------- */

/* Sends program (0..9) of programs, line by line, and waits until the
 * controller reports it stored. The program check runs first: with errors
 * nothing is sent (KXRD4_PROGRAM_REFUSED) unless force is non-zero. When
 * findings is not NULL it receives what the check found (free it with
 * kxrd4_findings_free), also on success. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_send_program(kxrd4_controller* controller,
                                                      const kxrd4_programs* programs, int program,
                                                      int force, kxrd4_findings** findings);
/* Reads program (0..9) from the controller into the same program of into;
 * on failure into is left as it was. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_read_program(kxrd4_controller* controller, int program,
                                                      kxrd4_programs* into);
/* Starts program (0..9) on the controller; halts a running program. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_run(kxrd4_controller* controller, int program);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_stop_program(kxrd4_controller* controller, int program);

/* ---- Parameters -------------------------------------------------------- */

/* By the command line's names: vmin, vmax, amax, home, vdst, xdst, xdef,
 * vdef, wdef, modbus-address, modbus-baud, input-filter. kxrd4_get reads one
 * (contact_type, when not NULL, gets home's contact type: 0 NO, 1 NC); the
 * MODBUS settings and the input filter cannot be read. kxrd4_set writes
 * one; a value outside the parameter's range, or one its list does not
 * offer, is refused with nothing sent. contact_type is home's (0 NO, 1 NC)
 * and ignored otherwise. Writing home starts a homing, vdst and xdst move. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_get(kxrd4_controller* controller, const char* name,
                                             int32_t* value, int* contact_type);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_set(kxrd4_controller* controller, const char* name,
                                             int32_t value, int contact_type);

/* ---- Motion ------------------------------------------------------------ */

/* ENABLE on (non-zero) or off (off stops the motor at once). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_enable(kxrd4_controller* controller, int on);

typedef enum kxrd4_jog_kind {
    KXRD4_JOG_POSITION = 0, /* the target moves by step */
    KXRD4_JOG_VELOCITY = 1  /* the velocity changes by step */
} kxrd4_jog_kind;
/* A jog by step (-1000..-1, 1..1000). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_jog(kxrd4_controller* controller, kxrd4_jog_kind kind,
                                             int32_t step);
/* Moves to target (-9999999..9999999). With wait, returns once the axis is
 * at rest there (KXRD4_NOT_CARRIED_OUT when it stands elsewhere, ENABLE off
 * for instance; KXRD4_TIMEOUT when not at rest within timeout_ms, 0: 60 s). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_move(kxrd4_controller* controller, int32_t target,
                                              int wait, uint32_t timeout_ms);
/* Homes at the controller's own homing velocity and contact type; with wait,
 * as kxrd4_move, at position 0 (a homing counts once the axis moved). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_home(kxrd4_controller* controller, int wait,
                                              uint32_t timeout_ms);
/* Decelerates to a stop at A max (the position stays true). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_stop(kxrd4_controller* controller);
/* Stops at once (a stop from speed may lose steps). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_brake(kxrd4_controller* controller);

typedef struct kxrd4_axis {
    int32_t position;
    int32_t velocity;
    int at_rest; /* velocity 0 */
} kxrd4_axis;
/* One status poll. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_axis_get(kxrd4_controller* controller, kxrd4_axis* axis);

/* ---- Backups ----------------------------------------------------------- */

/* A backup file's text (.kxb); KXRD4_PARSE_ERROR names the line. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_backup_parse(const char* text, size_t length,
                                                      kxrd4_backup** backup);
/* The backup as a .kxb text (free with kxrd4_free). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_backup_text(const kxrd4_backup* backup, char** text);
/* A parameter the backup holds; KXRD4_INVALID_ARGUMENT when it holds none
 * of that name. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_backup_parameter(const kxrd4_backup* backup,
                                                          const char* name, int32_t* value,
                                                          int* contact_type);
/* A copy of the backup's programs (the programs it lacks are empty). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_backup_programs(const kxrd4_backup* backup,
                                                         kxrd4_programs** programs);
KXRD4_API void kxrd4_backup_free(kxrd4_backup* backup);

/* Reads every readable parameter and the ten programs of the controller. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_backup_read(kxrd4_controller* controller,
                                                     kxrd4_backup** backup);

#define KXRD4_RESTORE_PROGRAMS 1u   /* the programs the backup holds */
#define KXRD4_RESTORE_PARAMETERS 2u /* its parameters (never vdst and xdst: they move) */
#define KXRD4_RESTORE_HOMING 4u     /* also home (writing it starts a homing) */
#define KXRD4_RESTORE_ALL (KXRD4_RESTORE_PROGRAMS | KXRD4_RESTORE_PARAMETERS)

typedef enum kxrd4_item_result {
    KXRD4_ITEM_VERIFIED = 0,    /* written, read back, the same */
    KXRD4_ITEM_DIFFERS = 1,     /* read back different */
    KXRD4_ITEM_FAILED = 2,      /* the write or the read back failed */
    KXRD4_ITEM_UNVERIFIED = 3,  /* written; the controller cannot be asked for it */
    KXRD4_ITEM_NOT_RESTORED = 4 /* left alone (moves the axis, or not reached) */
} kxrd4_item_result;

typedef struct kxrd4_restore_item {
    const char* name; /* "vmax", "P3" */
    kxrd4_item_result result;
    const char* file;       /* the backup's value */
    const char* controller; /* what the controller holds, or why it failed */
} kxrd4_restore_item;

/* Writes parts (KXRD4_RESTORE_*) of backup, waits for each program stored,
 * reads everything back and compares. report gets the table in every case
 * where the restore ran; the status is KXRD4_NOT_VERIFIED when an item
 * differs or failed. A controller whose axis moves is not written. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_restore(kxrd4_controller* controller,
                                                 const kxrd4_backup* backup, unsigned parts,
                                                 kxrd4_restore_report** report);
KXRD4_API size_t kxrd4_restore_report_count(const kxrd4_restore_report* report);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_restore_report_get(const kxrd4_restore_report* report,
                                                            size_t index, kxrd4_restore_item* item);
/* 1 when every item written was read back and verified. */
KXRD4_API int kxrd4_restore_report_verified(const kxrd4_restore_report* report);
KXRD4_API void kxrd4_restore_report_free(kxrd4_restore_report* report);

typedef struct kxrd4_difference {
    const char* item; /* "vmax", "P3 line 05" */
    const char* a;    /* as the first holds it */
    const char* b;
} kxrd4_difference;

/* The controller (a) against backup (b): parameters the controller cannot
 * be asked for are left out. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_diff(kxrd4_controller* controller,
                                              const kxrd4_backup* backup,
                                              kxrd4_differences** differences);
/* Two backups compared. */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_backup_compare(const kxrd4_backup* a,
                                                        const kxrd4_backup* b,
                                                        kxrd4_differences** differences);
KXRD4_API size_t kxrd4_differences_count(const kxrd4_differences* differences);
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_differences_get(const kxrd4_differences* differences,
                                                         size_t index,
                                                         kxrd4_difference* difference);
/* 1 when nothing differs and neither holds anything the other lacks. */
KXRD4_API int kxrd4_differences_same(const kxrd4_differences* differences);
/* As diff -u, a_name and b_name heading it (free with kxrd4_free). */
KXRD4_API KXRD4_CHECK kxrd4_status kxrd4_differences_text(const kxrd4_differences* differences,
                                                          const char* a_name, const char* b_name,
                                                          char** text);
KXRD4_API void kxrd4_differences_free(kxrd4_differences* differences);

#ifdef __cplusplus
}
#endif

#endif /* KXRD4_KXRD4_H */
