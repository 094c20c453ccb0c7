#pragma once
// Whether texts go through Qt's text shaping. The tool's own texts (its
// Polish and English captions and messages, the program listing) are Latin
// letters, digits and signs, which Qt lays out without its shaping engine:
// the same pixels, in less time at every start. Text from outside (file
// names, device names) may be in a script that needs shaping (Arabic,
// Indic, combining marks); where such text is shown, the font with shaping
// is used for it.

#include <QFont>
#include <QStringView>

class TextShaping {
public:
    // This font, its text laid out without shaping.
    static QFont Unshaped(QFont font);
    // This font with shaping (the default).
    static QFont Shaped(QFont font);
    // True when the text has a character that only shaping draws right:
    // anything outside the Latin, Greek, Cyrillic and East Asian scripts and
    // the signs common to all, combining marks included.
    static bool Needed(QStringView text);
};
