#pragma once
// The wording of a program fault of the emulated controller ("ruch przy
// wyłączonym napędzie (brak M_EN)"), one text per cause, translated with the
// tool's texts: the window's dry run and emulated controller and the run
// report say it alike.

#include <QCoreApplication>
#include <QString>

#include "ControllerEmulator.h"

class FaultCauseText {
    Q_DECLARE_TR_FUNCTIONS(FaultCauseText)

public:
    static QString Of(ControllerEmulator::FaultCause cause);
};
