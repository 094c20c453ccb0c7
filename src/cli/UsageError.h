#pragma once
// A usage error of kxrd4-cli: the message goes to stderr with a pointer to
// --help, and the tool exits with 2.

#include <string>

struct UsageError {
    std::string message;
};
