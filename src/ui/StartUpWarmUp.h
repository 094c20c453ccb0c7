#pragma once
// Loads, on a helper thread while the application connects to the display,
// what the window's first frame would otherwise wait for: the system's font
// configuration first (the largest single step of the start-up), then Qt's
// image-format plugins, which Qt loads all at once the first time it reads a
// picture (its style's own pictures included) to ask each whether it knows
// the format, then the tool's own pictures. Once the application object
// exists, Qt's font database is filled there too, while the application
// loads its translations. Where the platform needs no such loading, the
// calls do nothing.

#include <QImage>
#include <QString>
#include <QStringList>

class StartUpWarmUp {
public:
    // Starts the loading; call once, before the application object exists,
    // with the resource folders (":/shell") whose PNG pictures to decode.
    static void Start(const QStringList& pictureFolders);
    // The application object exists (QApplication's constructor has ended).
    static void ApplicationCreated();
    // Waits until the font configuration is loaded (at once if the loading
    // never started).
    static void WaitForFonts();
    // The picture at this resource path if the helper has decoded it by now
    // (handed over once: a second call gives a null image), else a null
    // image: the caller decodes it itself rather than wait. Main thread only.
    static QImage TakePicture(const QString& path);
    // Waits until everything is loaded; call before the application object
    // is destroyed.
    static void Finish();
};
