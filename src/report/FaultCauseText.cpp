#include "FaultCauseText.h"

QString FaultCauseText::Of(ControllerEmulator::FaultCause cause) {
    using C = ControllerEmulator::FaultCause;
    switch (cause) {
    case C::UnknownCommand:
        return tr("nieznany kod rozkazu");
    case C::BadDigit:
        return tr("niedozwolona cyfra w argumencie");
    case C::BadIo:
        return tr("numer wejścia lub wyjścia spoza 0..1");
    case C::BadJump:
        return tr("skok poza linie 00..24");
    case C::BadProgram:
        return tr("numer programu spoza 0..9");
    case C::MoveDisabled:
        return tr("ruch przy wyłączonym napędzie (brak M_EN)");
    case C::MoveNoLimits:
        return tr("ruch przy V max lub A max równym 0");
    case C::HomingVelocityZero:
        return tr("bazowanie z prędkością 0");
    case C::PastLastLine:
        return tr("program przeszedł za linię 24 bez END");
    case C::NoWait:
        return tr("ponad 1000 linii w 1 ms bez oczekiwania");
    case C::MoveInterrupted:
        return tr("ruch przerwany");
    case C::TravelLimit:
        return tr("oś doszła do końca zakresu");
    }
    return tr("nieznany błąd");
}
