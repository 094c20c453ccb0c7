// Platforms whose font system and plugins need no loading ahead of use.
#include "StartUpWarmUp.h"

void StartUpWarmUp::Start() {}

void StartUpWarmUp::ApplicationCreated() {}

void StartUpWarmUp::WaitForFonts() {}

void StartUpWarmUp::Finish() {}
