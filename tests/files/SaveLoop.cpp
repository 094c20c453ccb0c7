// Test helper: saves over and over until it is killed, alternating between two
// contents, and writes "ready" to standard output after the first completed
// save.
//   save_loop FILE BYTE BYTE              program file: every byte BYTE
//   save_loop --settings FILE CHAR CHAR   config.ini: AutoLoadFile = 3000 CHARs

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ProgramFile.h"
#include "SettingsFile.h"

namespace {

void Ready() {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--settings") == 0) {
        SettingsFile settings(argv[2]);
        const std::string values[2] = {std::string(3000, argv[3][0]),
                                       std::string(3000, argv[4][0])};
        for (unsigned long round = 0;; ++round) {
            try {
                settings.WriteAutoLoadFile(values[round % 2]);
            } catch (const std::runtime_error& error) {
                std::fprintf(stderr, "save_loop: %s\n", error.what());
                return 1;
            }
            if (round == 0) {
                Ready();
            }
        }
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_loop FILE BYTE BYTE | --settings FILE CHAR CHAR\n");
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
            Ready();
        }
    }
}
