#pragma once
// What kxrd4-cli prints when the KX-RD4 has answered a command: one English
// sentence per message (the window shows its own Polish texts).

#include <string>

#include "MessageLetter.h"

class CommandReport {
public:
    // The answered message; value is the program, step or value sent, when
    // the message carries one.
    static std::string Done(MessageLetter letter, long long value = 0);
};
