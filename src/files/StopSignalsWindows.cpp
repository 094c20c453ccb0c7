#include "StopSignals.h"

int StopSignals::Install() {
    return -1;
}

int StopSignals::Take() {
    return 0;
}

void StopSignals::Uninstall() {}
