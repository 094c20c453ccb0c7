// Platforms whose font system needs no loading ahead of use.
#include "FontWarmUp.h"

void FontWarmUp::Start() {}

void FontWarmUp::Wait() {}
