// Platforms whose font system and plugins need no loading ahead of use.
#include "StartUpWarmUp.h"

void StartUpWarmUp::Start(const QStringList&) {}

void StartUpWarmUp::ApplicationCreated() {}

void StartUpWarmUp::WaitForFonts() {}

QImage StartUpWarmUp::TakePicture(const QString&) {
    return {};
}

void StartUpWarmUp::Finish() {}
