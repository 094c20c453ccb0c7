#pragma once
// The commands kxrd4-sim reads on its standard input, one per line:
//   in N on|off   sets input 0 or 1 of the emulated controller
//   mute on|off   the controller stops answering (stays plugged) / answers again
//   status        position, velocity, ENABLE, program, inputs and outputs
//   help          the list of commands
//   quit          ends the simulator (as Ctrl+C does)
// Anything else gets a message naming the commands; nothing is changed.

#include <functional>
#include <string>
#include <string_view>

#include "ControllerEmulator.h"

class SimulatorConsole {
public:
    // Runs a function on the emulator, advanced to now, under its lock.
    using Access = std::function<void(const std::function<void(ControllerEmulator&)>&)>;

    struct Result {
        std::string text; // the answer, without a final line feed; may be empty
        bool quit = false;
    };

    static constexpr const char* Commands =
        "commands: in 0|1 on|off, mute on|off, status, help, quit";

    explicit SimulatorConsole(Access access);

    Result Execute(std::string_view line);

    // The status line of the emulator as it is now.
    static std::string Status(const ControllerEmulator& emulator);

private:
    Access access_;
};
