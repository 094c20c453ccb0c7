#pragma once
// kxrd4-cli get, set, status and watch: the controller's parameters by name
// (values outside a field's range clamped as the window clamps them, with a
// note on stderr), and the axis' position and velocity once or at 40 Hz; as
// text or JSON.

class CommandContext;

class ParameterCommand {
public:
    // get PARAM [--format json]
    static void Get(CommandContext& context);
    // set PARAM VALUE [NO|NC]
    static void Set(CommandContext& context);
    // status [--format json]
    static void Status(CommandContext& context);
    // watch [--seconds S] [--format json]: until S seconds or Ctrl+C.
    static void Watch(CommandContext& context);
};
