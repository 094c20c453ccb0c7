#pragma once
// A HID back end with one emulated KX-RD4 plugged in, in power-on state: what
// the command-line tool talks to with --emulator (no root, no /dev/uhid).

#include <memory>

#include "EmulatedAxis.h"

class HidBackend;

class EmulatedBackend {
public:
    // The back end; the emulated controller lives as long as it does.
    // axis: an imperfect axis (--emulator-lag, --emulator-lose-steps).
    static std::shared_ptr<HidBackend> Create(const EmulatedAxis::Imperfection& axis = {});
};
