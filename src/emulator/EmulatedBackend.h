#pragma once
// A HID back end with emulated KX-RD4s plugged in, in power-on state: what
// the command-line tool talks to with --emulator and what the library opens
// as an in-process emulated controller (no root, no /dev/uhid). Further users
// of the same controllers come from SimulatedHidBackend::NewClient.

#include <memory>
#include <string>
#include <vector>

#include "EmulatedAxis.h"

class SimulatedHidBackend;

class EmulatedBackend {
public:
    // The back end with one controller whose serial number is serial (empty:
    // "DEMO-1"); the emulated controllers live as long as it does. axis: an
    // imperfect axis (lagging or losing steps; exact by default).
    static std::shared_ptr<SimulatedHidBackend> Create(const std::string& serial = {},
                                                       const EmulatedAxis::Imperfection& axis = {});
    // One controller for each serial number, in that order.
    static std::shared_ptr<SimulatedHidBackend>
    CreateSeveral(const std::vector<std::string>& serials,
                  const EmulatedAxis::Imperfection& axis = {});
};
