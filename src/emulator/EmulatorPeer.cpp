#include "EmulatorPeer.h"
