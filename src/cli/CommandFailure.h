#pragma once
// A command of kxrd4-cli that failed: the message goes to stderr and the tool
// exits with status (1 failed, 2 trouble for diff and check, 3 no KX-RD4, 4
// several KX-RD4s and none chosen).

#include <string>

#include "Cli.h"

struct CommandFailure {
    std::string message;
    int status = Cli::Failed;
};
