/* A small libkxrd4 program: opens a KX-RD4 (the emulated one with
 * --emulator, else the only one plugged, or the one whose serial number is
 * given), checks and sends a program, moves the axis and reads its status.
 *
 *   cc move_and_check.c $(pkg-config --cflags --libs kxrd4) -o move_and_check
 *   ./move_and_check --emulator
 */
#include <kxrd4/kxrd4.h>

#include <stdio.h>
#include <string.h>

/* Prints the failure and gives 1 (the status codes name the kind). */
static int fail(const char* what, kxrd4_status status) {
    fprintf(stderr, "%s: %s: %s\n", what, kxrd4_status_name(status), kxrd4_thread_error());
    return 1;
}

int main(int argc, char** argv) {
    kxrd4_controller* c = NULL;
    kxrd4_status s;
    if (argc > 1 && strcmp(argv[1], "--emulator") == 0) {
        s = kxrd4_open_emulator("EXAMPLE-1", 0, &c);
    } else if (argc > 1) {
        s = kxrd4_open(KXRD4_SERIAL, argv[1], 0, &c);
    } else {
        s = kxrd4_open(KXRD4_ANY, NULL, 0, &c);
    }
    if (s != KXRD4_OK) {
        return fail("open", s);
    }
    printf("KX-RD4 %s at %s (libkxrd4 %s)\n", kxrd4_controller_serial(c), kxrd4_controller_path(c),
           kxrd4_version_string());

    const char listing[] = "P3\n[00]  M_EN\n[01]  X_DST  +0000500\n[02]  END\n";
    kxrd4_programs* programs = NULL;
    kxrd4_findings* findings = NULL;
    int result = 0;
    if ((s = kxrd4_programs_from_listing(listing, strlen(listing), 0, &programs)) != KXRD4_OK) {
        result = fail("listing", s);
    } else if ((s = kxrd4_send_program(c, programs, 3, 0, &findings)) != KXRD4_OK) {
        result = fail("send P3", s);
    } else if ((s = kxrd4_enable(c, 1)) != KXRD4_OK) {
        result = fail("enable", s);
    } else if ((s = kxrd4_move(c, 1500, 1, 30000)) != KXRD4_OK) {
        result = fail("move", s);
    } else {
        kxrd4_axis axis;
        if ((s = kxrd4_axis_get(c, &axis)) != KXRD4_OK) {
            result = fail("status", s);
        } else {
            printf("P3 sent (%zu findings); at rest at position %d\n",
                   kxrd4_findings_count(findings), (int)axis.position);
        }
    }
    kxrd4_findings_free(findings);
    kxrd4_programs_free(programs);
    kxrd4_close(c);
    return result;
}
