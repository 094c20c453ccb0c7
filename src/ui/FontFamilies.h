#pragma once
// The window's two font families as this system has them: "Tahoma" and
// "Courier New" where they are installed, otherwise their free stand-ins
// (Liberation Sans or DejaVu Sans, Liberation Mono or DejaVu Sans Mono), so
// that the texts fit the fixed control sizes. Asking for an installed family
// spares the font matching its search for a missing one, with a list of
// fallbacks of its own, on the first use of each font.

#include <QString>

class FontFamilies {
public:
    // The window's font family: Tahoma or its stand-in.
    static QString Proportional();
    // The listing's and the fields' fixed-pitch family: Courier New or its stand-in.
    static QString FixedPitch();
};
