/* libkxrd4 through its public header only, in C, against emulated KX-RD4s
 * inside the process: every capability once, the status codes and messages
 * of the failures, and two controllers driven from two threads. */

#include <kxrd4/kxrd4.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#ifndef _WIN32
#include <pthread.h>
#endif

static int failures = 0;

#define EXPECT(cond)                                                                               \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: failed: %s (last error: %s)\n", __FILE__, __LINE__, #cond,     \
                    kxrd4_thread_error());                                                         \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)
#define OK(call) EXPECT((call) == KXRD4_OK)

static const char clean[] = "P0\n[00]  M_EN\n[01]  X_DST  +0001000\n[02]  END\n"
                            "P1\n[00]  M_EN\n[01]  W_TIM  250\n[02]  END\n";
static const char faulty[] = "P2\n[00]  M_EN\n[01]  J_LIN  22\n";

static void versions_and_errors(void) {
    EXPECT(kxrd4_version() == KXRD4_VERSION);
    EXPECT((kxrd4_version() >> 16) == KXRD4_VERSION_MAJOR);
    EXPECT(strcmp(kxrd4_version_string(), "1.0.0") >= 0);
    EXPECT(KXRD4_VERSION_AT_LEAST(1, 0, 0));
    EXPECT(strcmp(kxrd4_status_name(KXRD4_TIMEOUT), "KXRD4_TIMEOUT") == 0);
    EXPECT(strcmp(kxrd4_status_name((kxrd4_status)99), "KXRD4_UNKNOWN") == 0);
    /* A NULL is refused with a message naming it, and frees accept NULL. */
    EXPECT(kxrd4_programs_new(NULL) == KXRD4_INVALID_ARGUMENT);
    EXPECT(strstr(kxrd4_thread_error(), "programs is NULL") != NULL);
    EXPECT(kxrd4_run(NULL, 0) == KXRD4_INVALID_ARGUMENT);
    kxrd4_close(NULL);
    kxrd4_programs_free(NULL);
    kxrd4_free(NULL);
}

static void offline(void) {
    kxrd4_programs* programs = NULL;
    OK(kxrd4_programs_from_listing(clean, strlen(clean), 0, &programs));
    char* listing = NULL;
    OK(kxrd4_programs_listing(programs, 0, 1, &listing));
    EXPECT(listing != NULL && strstr(listing, "X_DST") != NULL);
    /* The lossless listing and the 2000 bytes read back as the same programs. */
    kxrd4_programs* again = NULL;
    OK(kxrd4_programs_from_listing(listing, strlen(listing), 0, &again));
    unsigned char a[KXRD4_PROGRAM_SET_BYTES];
    unsigned char b[KXRD4_PROGRAM_SET_BYTES];
    OK(kxrd4_programs_bytes(programs, a, sizeof a));
    OK(kxrd4_programs_bytes(again, b, sizeof b));
    EXPECT(memcmp(a, b, 200) == 0);
    kxrd4_free(listing);
    kxrd4_programs_free(again);
    kxrd4_programs* copy = NULL;
    OK(kxrd4_programs_from_bytes(a, sizeof a, &copy));
    EXPECT(kxrd4_programs_from_bytes(a, 1999, &again) == KXRD4_INVALID_ARGUMENT);
    uint8_t line[8];
    OK(kxrd4_programs_get_line(copy, 0, 1, line));
    OK(kxrd4_programs_set_line(copy, 9, 24, line));
    EXPECT(kxrd4_programs_get_line(copy, 10, 0, line) == KXRD4_INVALID_ARGUMENT);
    kxrd4_programs_free(copy);

    /* A listing that does not read names its line. */
    EXPECT(kxrd4_programs_from_listing("P0\n[00]  NOPE\n", 14, 0, &again) == KXRD4_PARSE_ERROR);
    EXPECT(strstr(kxrd4_thread_error(), "line 2") != NULL);

    /* The check: clean P0, a jump to an empty line in P2. */
    kxrd4_findings* findings = NULL;
    OK(kxrd4_check(programs, 0, &findings));
    EXPECT(!kxrd4_findings_has_errors(findings));
    kxrd4_findings_free(findings);
    kxrd4_programs* bad = NULL;
    OK(kxrd4_programs_from_listing(faulty, strlen(faulty), 0, &bad));
    OK(kxrd4_check(bad, 2, &findings));
    EXPECT(kxrd4_findings_has_errors(findings));
    kxrd4_finding f;
    OK(kxrd4_findings_get(findings, 0, &f));
    EXPECT(f.program == 2 && f.line == 1 && f.is_error == 1);
    EXPECT(strcmp(f.code, "jump-to-empty-line") == 0);
    EXPECT(strstr(f.text, "22") != NULL);
    kxrd4_findings_free(findings);
    kxrd4_programs_free(bad);

    /* The dry run: P0 moves 1000 steps at V max 1000, A max 500 and ends. */
    kxrd4_dry_run* run = NULL;
    OK(kxrd4_simulate(programs, 0, 60000, NULL, 0, NULL, 10, &run));
    kxrd4_dry_run_result r;
    OK(kxrd4_dry_run_result_get(run, &r));
    EXPECT(r.ended == 1 && r.fault_count == 0 && r.waiting == KXRD4_WAITS_FOR_NOTHING);
    EXPECT(r.end_ms > 1000 && r.end_ms < 5000);
    const kxrd4_sample* samples = NULL;
    size_t count = 0;
    OK(kxrd4_dry_run_samples(run, &samples, &count));
    EXPECT(count == r.sample_count && count > 100);
    EXPECT(samples[count - 1].position == 1000);
    kxrd4_dry_run_free(run);
    /* P1 waits for nothing but time; an input schedule is taken. */
    kxrd4_input_change change = {100, 0, 1};
    OK(kxrd4_simulate(programs, 1, 100, &change, 1, NULL, 0, &run));
    OK(kxrd4_dry_run_result_get(run, &r));
    EXPECT(r.ended == 0 && r.waiting == KXRD4_WAITS_FOR_TIME);
    kxrd4_dry_run_free(run);
    EXPECT(kxrd4_simulate(programs, 10, 100, NULL, 0, NULL, 0, &run) == KXRD4_INVALID_ARGUMENT);

    /* Backups parsed, written and compared. */
    const char text[] = "[parameters]\nvmax = 1200\nhome = -200 NC\n";
    kxrd4_backup* backup = NULL;
    OK(kxrd4_backup_parse(text, strlen(text), &backup));
    int32_t value = 0;
    int contact = -1;
    OK(kxrd4_backup_parameter(backup, "home", &value, &contact));
    EXPECT(value == -200 && contact == 1);
    EXPECT(kxrd4_backup_parameter(backup, "amax", &value, NULL) == KXRD4_INVALID_ARGUMENT);
    char* written = NULL;
    OK(kxrd4_backup_text(backup, &written));
    EXPECT(strstr(written, "vmax = 1200") != NULL);
    kxrd4_backup* other = NULL;
    const char text2[] = "[parameters]\nvmax = 1000\nhome = -200 NC\n";
    OK(kxrd4_backup_parse(text2, strlen(text2), &other));
    kxrd4_differences* d = NULL;
    OK(kxrd4_backup_compare(backup, other, &d));
    EXPECT(kxrd4_differences_count(d) == 1 && !kxrd4_differences_same(d));
    kxrd4_difference diff;
    OK(kxrd4_differences_get(d, 0, &diff));
    EXPECT(strcmp(diff.item, "vmax") == 0 && strcmp(diff.a, "1200") == 0);
    char* dtext = NULL;
    OK(kxrd4_differences_text(d, "A", "B", &dtext));
    EXPECT(strstr(dtext, "+vmax = 1000") != NULL);
    kxrd4_free(dtext);
    kxrd4_differences_free(d);
    kxrd4_backup_free(other);
    kxrd4_free(written);
    kxrd4_backup_free(backup);
    EXPECT(kxrd4_backup_parse("[parameters]\nspeed = 1\n", 23, &backup) == KXRD4_PARSE_ERROR);
    kxrd4_programs_free(programs);
}

/* Polls until the axis stands (at most 5 s). */
static void at_rest(kxrd4_controller* c) {
    kxrd4_axis axis = {0, 1, 0};
    const time_t end = time(NULL) + 5;
    while (!axis.at_rest && time(NULL) <= end) {
        OK(kxrd4_axis_get(c, &axis));
    }
    EXPECT(axis.at_rest);
}

static void controller(void) {
    kxrd4_controller* c = NULL;
    OK(kxrd4_open_emulator("C-1", 0, &c));
    if (c == NULL) {
        return;
    }
    EXPECT(strcmp(kxrd4_controller_serial(c), "C-1") == 0);
    EXPECT(strncmp(kxrd4_controller_path(c), "sim:", 4) == 0);

    /* Parameters by name; out of range and unknown names send nothing. */
    int32_t value = 0;
    int contact = -1;
    OK(kxrd4_get(c, "vmax", &value, NULL));
    EXPECT(value == 1000);
    OK(kxrd4_set(c, "vmax", 1200, 0));
    OK(kxrd4_get(c, "vmax", &value, NULL));
    EXPECT(value == 1200);
    OK(kxrd4_get(c, "home", &value, &contact));
    EXPECT(value == -200 && contact == 0);
    EXPECT(kxrd4_set(c, "vmax", 5000000, 0) == KXRD4_INVALID_ARGUMENT);
    char message[256];
    EXPECT(kxrd4_controller_error(c, message, sizeof message) > 0);
    EXPECT(strstr(message, "nothing was sent") != NULL);
    EXPECT(kxrd4_set(c, "modbus-baud", 9600, 0) == KXRD4_INVALID_ARGUMENT);
    EXPECT(kxrd4_get(c, "modbus-baud", &value, NULL) == KXRD4_INVALID_ARGUMENT);
    EXPECT(kxrd4_get(c, "speed", &value, NULL) == KXRD4_INVALID_ARGUMENT);
    EXPECT(strstr(kxrd4_thread_error(), "unknown parameter") != NULL);
    /* A short buffer gets the start of the message and the whole length. */
    char small[8];
    EXPECT(kxrd4_controller_error(c, small, sizeof small) > sizeof small && strlen(small) == 7);

    /* Motion: ENABLE off does not move, then a move and a homing awaited. */
    EXPECT(kxrd4_move(c, 500, 1, 3000) == KXRD4_NOT_CARRIED_OUT);
    OK(kxrd4_enable(c, 1));
    /* (The home switch is 1000 steps below the power-on position.) */
    OK(kxrd4_move(c, -900, 1, 10000));
    kxrd4_axis axis;
    OK(kxrd4_axis_get(c, &axis));
    EXPECT(axis.position == -900 && axis.velocity == 0 && axis.at_rest == 1);
    OK(kxrd4_jog(c, KXRD4_JOG_POSITION, 100));
    EXPECT(kxrd4_jog(c, KXRD4_JOG_POSITION, 0) == KXRD4_INVALID_ARGUMENT);
    OK(kxrd4_stop(c));
    OK(kxrd4_home(c, 1, 20000));
    OK(kxrd4_axis_get(c, &axis));
    EXPECT(axis.position == 0);
    OK(kxrd4_jog(c, KXRD4_JOG_VELOCITY, 200));
    OK(kxrd4_brake(c));
    EXPECT(kxrd4_move(c, 20000000, 0, 0) == KXRD4_INVALID_ARGUMENT);
    /* A wait too short for the move times out. */
    EXPECT(kxrd4_move(c, 900000, 1, 200) == KXRD4_TIMEOUT);
    OK(kxrd4_stop(c));
    at_rest(c);

    /* Programs: the check refuses P2 unless forced; read back; run, stop. */
    kxrd4_programs* programs = NULL;
    OK(kxrd4_programs_from_listing(clean, strlen(clean), 0, &programs));
    kxrd4_findings* findings = NULL;
    OK(kxrd4_send_program(c, programs, 1, 0, &findings));
    EXPECT(findings != NULL && !kxrd4_findings_has_errors(findings));
    kxrd4_findings_free(findings);
    kxrd4_programs* bad = NULL;
    OK(kxrd4_programs_from_listing(faulty, strlen(faulty), 0, &bad));
    EXPECT(kxrd4_send_program(c, bad, 2, 0, &findings) == KXRD4_PROGRAM_REFUSED);
    EXPECT(kxrd4_findings_has_errors(findings));
    EXPECT(strstr(kxrd4_thread_error(), "nothing was sent") != NULL);
    kxrd4_findings_free(findings);
    OK(kxrd4_send_program(c, bad, 2, 1, NULL));
    kxrd4_programs* back = NULL;
    OK(kxrd4_programs_new(&back));
    OK(kxrd4_read_program(c, 1, back));
    OK(kxrd4_read_program(c, 2, back));
    uint8_t sent[8];
    uint8_t got[8];
    for (int l = 0; l < KXRD4_LINES; ++l) {
        OK(kxrd4_programs_get_line(programs, 1, l, sent));
        OK(kxrd4_programs_get_line(back, 1, l, got));
        EXPECT(memcmp(sent, got, 8) == 0);
    }
    OK(kxrd4_run(c, 1));
    OK(kxrd4_stop_program(c, 1));
    EXPECT(kxrd4_run(c, 10) == KXRD4_INVALID_ARGUMENT);

    /* Backup, change, diff, restore, diff again. */
    kxrd4_backup* backup = NULL;
    OK(kxrd4_backup_read(c, &backup));
    int32_t vmax = 0;
    OK(kxrd4_backup_parameter(backup, "vmax", &vmax, NULL));
    EXPECT(vmax == 1200);
    OK(kxrd4_set(c, "vmax", 1500, 0));
    kxrd4_differences* d = NULL;
    OK(kxrd4_diff(c, backup, &d));
    EXPECT(kxrd4_differences_count(d) == 1);
    kxrd4_differences_free(d);
    kxrd4_restore_report* report = NULL;
    OK(kxrd4_restore(c, backup, KXRD4_RESTORE_ALL, &report));
    EXPECT(kxrd4_restore_report_verified(report) == 1);
    EXPECT(kxrd4_restore_report_count(report) > 10);
    kxrd4_restore_item item;
    int seen = 0;
    for (size_t i = 0; i < kxrd4_restore_report_count(report); ++i) {
        OK(kxrd4_restore_report_get(report, i, &item));
        if (strcmp(item.name, "vmax") == 0) {
            seen = item.result == KXRD4_ITEM_VERIFIED && strcmp(item.file, "1200") == 0;
        }
    }
    EXPECT(seen);
    kxrd4_restore_report_free(report);
    OK(kxrd4_diff(c, backup, &d));
    EXPECT(kxrd4_differences_same(d));
    kxrd4_differences_free(d);
    EXPECT(kxrd4_restore(c, backup, 0, &report) == KXRD4_INVALID_ARGUMENT);
    kxrd4_backup_free(backup);
    kxrd4_programs_free(back);
    kxrd4_programs_free(bad);
    kxrd4_programs_free(programs);
    kxrd4_close(c);

    /* The emulated controllers are each a controller of their own. */
    kxrd4_controller* one = NULL;
    kxrd4_controller* two = NULL;
    OK(kxrd4_open_emulator(NULL, 0, &one));
    OK(kxrd4_open_emulator("X-2", 0, &two));
    EXPECT(strcmp(kxrd4_controller_serial(one), "DEMO-1") == 0);
    OK(kxrd4_set(one, "amax", 700, 0));
    OK(kxrd4_get(two, "amax", &value, NULL));
    EXPECT(value == 500);
    kxrd4_close(one);
    kxrd4_close(two);
    EXPECT(kxrd4_open(KXRD4_SERIAL, "", 0, &one) == KXRD4_INVALID_ARGUMENT);
    EXPECT(kxrd4_open((kxrd4_selector)7, "x", 0, &one) == KXRD4_INVALID_ARGUMENT);
}

#ifndef _WIN32
struct station {
    const char* serial;
    int ok;
};

static void* drive(void* arg) {
    struct station* s = (struct station*)arg;
    kxrd4_controller* c = NULL;
    s->ok = kxrd4_open_emulator(s->serial, 0, &c) == KXRD4_OK;
    for (int i = 0; s->ok && i < 3; ++i) {
        int32_t target = (s->serial[0] == 'A' ? 100 : -100) * (i + 1);
        kxrd4_axis axis;
        s->ok = kxrd4_enable(c, 1) == KXRD4_OK && kxrd4_move(c, target, 1, 10000) == KXRD4_OK &&
                kxrd4_axis_get(c, &axis) == KXRD4_OK && axis.position == target;
    }
    kxrd4_close(c);
    return NULL;
}

/* One controller from several threads at once: the calls are serialized. */
static void* poll(void* arg) {
    kxrd4_controller* c = (kxrd4_controller*)arg;
    int32_t value = 0;
    for (int i = 0; i < 50; ++i) {
        if (kxrd4_get(c, "vmax", &value, NULL) != KXRD4_OK || value != 1000) {
            return (void*)1;
        }
    }
    return NULL;
}

static void threads(void) {
    struct station a = {"A-1", 0};
    struct station b = {"B-1", 0};
    pthread_t ta;
    pthread_t tb;
    pthread_create(&ta, NULL, drive, &a);
    pthread_create(&tb, NULL, drive, &b);
    pthread_join(ta, NULL);
    pthread_join(tb, NULL);
    EXPECT(a.ok && b.ok);

    kxrd4_controller* c = NULL;
    OK(kxrd4_open_emulator("S-1", 0, &c));
    pthread_t t[3];
    void* result[3];
    for (int i = 0; i < 3; ++i) {
        pthread_create(&t[i], NULL, poll, c);
    }
    for (int i = 0; i < 3; ++i) {
        pthread_join(t[i], &result[i]);
        EXPECT(result[i] == NULL);
    }
    kxrd4_close(c);
}
#else
static void threads(void) {}
#endif

int main(void) {
    versions_and_errors();
    offline();
    controller();
    threads();
    if (failures != 0) {
        fprintf(stderr, "%d failures\n", failures);
        return 1;
    }
    printf("libkxrd4 %s: every check passed\n", kxrd4_version_string());
    return 0;
}
