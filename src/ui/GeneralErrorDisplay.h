#pragma once
// The one display for errors that escape an event handler, the window's
// start-up or shut-down steps, or the start-up as a whole: a box titled
// "KX-RD4 - PC" with the error icon, an OK button and the error's message.
// After it the tool goes on.

#include <QString>

class MessageBoxes;

class GeneralErrorDisplay {
public:
    // The application title, also the title of the box.
    static QString Title();
    // The box text: the message, followed by a point when its last character
    // sorts after the point (a letter or a digit, for example).
    static QString Text(const QString& message);
    static void Show(MessageBoxes& boxes, const QString& message);
};
