#include "DeviceLock.h"

std::unique_ptr<DeviceLock> DeviceLock::Nothing() {
    return std::make_unique<DeviceLock>();
}

std::string DeviceLock::HolderName(const std::string& program, long processId) {
    return (program.empty() ? std::string("a program") : program) + " (process " +
           std::to_string(processId) + ")";
}
