#pragma once
// Raised when a device object cannot be created; the scan catches it.

#include <stdexcept>
#include <string>

class EControllerError : public std::runtime_error {
public:
    explicit EControllerError(const std::string& message) : std::runtime_error(message) {}
};
