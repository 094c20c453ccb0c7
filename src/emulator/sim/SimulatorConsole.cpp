#include "SimulatorConsole.h"

#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

} // namespace

SimulatorConsole::SimulatorConsole(Access access) : access_(std::move(access)) {}

SimulatorConsole::Result SimulatorConsole::Execute(std::string_view line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty())
        return {};
    const std::string& command = words[0];
    if (command == "quit" || command == "exit") {
        if (words.size() != 1)
            return {"usage: quit"};
        return {"", true};
    }
    if (command == "help") {
        return {std::string(Commands) +
                "\n  in N on|off  set input N (0 or 1)\n  mute on|off  stop answering requests, "
                "staying "
                "plugged (on), or answer again (off)\n  status       position, velocity, "
                "ENABLE, program, inputs, outputs\n  quit         remove the device and end"};
    }
    if (command == "status") {
        if (words.size() != 1)
            return {"usage: status"};
        std::string text;
        access_([&](ControllerEmulator& emulator) { text = Status(emulator); });
        return {text};
    }
    if (command == "in") {
        if (words.size() != 3 || (words[1] != "0" && words[1] != "1") ||
            (words[2] != "on" && words[2] != "off"))
            return {"usage: in N on|off, with N 0 or 1 (for example: in 0 on)"};
        const int io = words[1] == "1" ? 1 : 0;
        const bool on = words[2] == "on";
        access_([&](ControllerEmulator& emulator) { emulator.SetInput(io, on); });
        return {"input " + words[1] + " " + OnOff(on)};
    }
    if (command == "mute") {
        if (words.size() != 2 || (words[1] != "on" && words[1] != "off"))
            return {"usage: mute on|off"};
        const bool on = words[1] == "on";
        access_([&](ControllerEmulator& emulator) { emulator.SetMuted(on); });
        return {on ? "muted: requests are not answered" : "answering again"};
    }
    return {"unknown command '" + command + "'; " + Commands};
}

std::string SimulatorConsole::Status(const ControllerEmulator& emulator) {
    std::string text = "position " + std::to_string(emulator.Position()) + ", velocity " +
                       std::to_string(emulator.Velocity()) + ", ENABLE " +
                       OnOff(emulator.Enabled()) + (emulator.Moving() ? ", moving" : ", standing");
    if (emulator.ProgramRunning())
        text += ", program " + std::to_string(emulator.RunningProgram()) + " at line " +
                (emulator.CurrentLine() < 10 ? "0" : "") + std::to_string(emulator.CurrentLine());
    else
        text += ", no program running";
    text += std::string(", inputs ") + OnOff(emulator.Input(0)) + "/" + OnOff(emulator.Input(1)) +
            ", outputs " + OnOff(emulator.Output(0)) + "/" + OnOff(emulator.Output(1));
    return text;
}
