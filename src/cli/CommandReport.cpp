#include "CommandReport.h"

std::string CommandReport::Done(MessageLetter letter, long long value) {
    const std::string v = std::to_string(value);
    using L = MessageLetter;
    switch (letter) {
    case L::ProgramStart:
        return "P" + v + " started";
    case L::ProgramHalt:
        return "P" + v + " stopped";
    case L::VminWrite:
        return "minimum velocity set to " + v;
    case L::VmaxWrite:
        return "maximum velocity set to " + v;
    case L::AmaxWrite:
        return "maximum acceleration set to " + v;
    case L::HomeStart:
        return "homing started at velocity " + v;
    case L::VdstSet:
        return "target velocity set to " + v;
    case L::XdstSet:
        return "target position set to " + v;
    case L::EnableOn:
        return "ENABLE on";
    case L::EnableOff:
        return "ENABLE off";
    case L::MotorStop:
        return "motor decelerating to a stop";
    case L::MotorBrake:
        return "motor stopped at once";
    case L::VelocityUp:
        return "velocity raised by " + v;
    case L::VelocityDown:
        return "velocity lowered by " + v;
    case L::PositionUp:
        return "position moved up by " + v;
    case L::PositionDown:
        return "position moved down by " + v;
    case L::ModbusAddress:
        return "MODBUS address set to " + v;
    case L::ModbusBaud:
        return "MODBUS rate set to " + v + " baud";
    case L::InputFilter:
        return "input filter set to " + v + " ms";
    case L::XdefWrite:
        return "DEF position set to " + v;
    case L::VdefWrite:
        return "DEF velocity set to " + v;
    case L::WdefWrite:
        return "DEF time set to " + v + " ms";
    default:
        return "done";
    }
}
