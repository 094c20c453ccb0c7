// Test helper: saves the program set to argv[1] over and over, alternating
// between a set of all argv[2] bytes and a set of all argv[3] bytes, and
// writes "ready" to standard output after the first completed save. It runs
// until it is killed.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ProgramFile.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_loop FILE BYTE BYTE\n");
        return 2;
    }
    ProgramSet sets[2];
    for (int i = 0; i < 2; ++i) {
        std::memset(sets[i].Data(), std::atoi(argv[2 + i]), ProgramSet::Size());
    }
    for (unsigned long round = 0;; ++round) {
        if (!WriteProgramFile(argv[1], sets[round % 2])) {
            std::fprintf(stderr, "save_loop: write failed\n");
            return 1;
        }
        if (round == 0) {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        }
    }
}
