// Linux: Qt reads the fonts through fontconfig, whose first call parses the
// configuration files and the font cache. Doing it first here leaves Qt's
// own call with nothing to load; fontconfig may be called from any thread.
// The image-format plugins follow, loaded as Qt loads plugins, once the
// display's own plugin is in (the font configuration takes longer than
// that), so that neither waits for the other's loading; then the tool's
// pictures are decoded (QImage may be used on any thread). Once the
// application object exists, Qt's font database is filled (its functions may
// be called from any thread) while the application loads its translations.
#include <fontconfig/fontconfig.h>

#include <QDir>
#include <QFontDatabase>
#include <QHash>
#include <QImageReader>
#include <QLibrary>
#include <QLibraryInfo>
#include <QThread>
#include <future>
#include <latch>
#include <memory>
#include <thread>

#include "StartUpWarmUp.h"

namespace {

std::thread loader;
std::unique_ptr<std::latch> fontsLoaded;
std::unique_ptr<std::latch> picturesDecoded;
// Written by the helper until picturesDecoded, then the main thread's.
QHash<QString, QImage> pictures;
// True once the application object exists; false when it never will.
std::promise<bool> application;
bool applicationTold = false;

void LoadPlugins(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.so")}, QDir::Files)) {
        QLibrary plugin(dir.filePath(name));
        plugin.setLoadHints(QLibrary::PreventUnloadHint);
        plugin.load();
    }
}

void DecodePictures(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({QStringLiteral("*.png")}, QDir::Files)) {
            const QString path = dir.filePath(name);
            QImageReader reader(path, "png");
            reader.setAutoDetectImageFormat(false);
            QImage image = reader.read();
            if (!image.isNull())
                pictures.insert(path, std::move(image));
        }
    }
}

void TellApplication(bool exists) {
    if (!applicationTold) {
        applicationTold = true;
        application.set_value(exists);
    }
}

} // namespace

void StartUpWarmUp::Start(const QStringList& pictureFolders) {
    if (loader.joinable())
        return;
    // Qt takes the first thread that asks for its thread data for the main
    // thread: this one asks before the helper thread, which uses Qt, exists.
    QThread::currentThread();
    // Asked here, before the application object exists: Qt's built-in folder.
    const QString imageFormats =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/imageformats");
    fontsLoaded = std::make_unique<std::latch>(1);
    picturesDecoded = std::make_unique<std::latch>(1);
    pictures.clear();
    application = std::promise<bool>();
    applicationTold = false;
    loader =
        std::thread([imageFormats, pictureFolders, exists = application.get_future()]() mutable {
            FcInit();
            fontsLoaded->count_down();
            LoadPlugins(imageFormats);
            DecodePictures(pictureFolders);
            picturesDecoded->count_down();
            if (exists.get())
                QFontDatabase::families();
        });
}

void StartUpWarmUp::ApplicationCreated() {
    if (loader.joinable())
        TellApplication(true);
}

void StartUpWarmUp::WaitForFonts() {
    if (fontsLoaded)
        fontsLoaded->wait();
}

QImage StartUpWarmUp::TakePicture(const QString& path) {
    if (!picturesDecoded || !picturesDecoded->try_wait())
        return {};
    return pictures.take(path);
}

void StartUpWarmUp::Finish() {
    if (loader.joinable()) {
        TellApplication(false);
        loader.join();
    }
}
