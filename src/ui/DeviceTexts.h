#pragma once
// The device layer's texts (marked KX_TRANSLATABLE there) in the window's
// language: a whole text is looked up as it stands, a text that begins with a
// marked prefix ("Wybrano sterownik " + the controller) gets the prefix
// translated and the rest kept. Unmarked texts pass unchanged.

#include <QString>
#include <string>

class DeviceTexts {
public:
    static QString Translate(const std::string& text);
};
