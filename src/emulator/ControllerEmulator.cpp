#include "ControllerEmulator.h"

struct ControllerEmulator::State {};

ControllerEmulator::ControllerEmulator(std::size_t) {}
