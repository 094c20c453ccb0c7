#include "LiveChartModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <cstddef>

#include "KxVersion.h"
#include "LiveChart.h"

namespace {

using CreateFunction = LiveChart* (*)(QWidget*, FileDialogs*, MessageBoxes*);
using VersionFunction = const char* (*)();
using SizeFunction = std::size_t (*)();

QStringList chosenCandidates;
QString lastError;

// The name the library is built with on this platform (libkxrd4-chart.so,
// libkxrd4-chart.dll).
QString LibraryFile() {
    return QStringLiteral(KXRD4_CHART_LIBRARY_FILE);
}

} // namespace

QStringList LiveChartModule::Candidates() {
    if (!chosenCandidates.isEmpty())
        return chosenCandidates;
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {LibraryFile(), programDir.filePath(LibraryFile()),
            QDir::cleanPath(programDir.filePath(QStringLiteral(KXRD4_CHART_INSTALL_DIR) +
                                                QLatin1Char('/') + LibraryFile()))};
}

void LiveChartModule::SetCandidates(const QStringList& files) {
    chosenCandidates = files;
}

QString LiveChartModule::Error() {
    return lastError;
}

LiveChart* LiveChartModule::Create(QWidget* parent, FileDialogs& dialogs, MessageBoxes& boxes) {
    QStringList reasons;
    for (const QString& file : Candidates()) {
        QLibrary library(file);
        // The chart's library, once used, stays loaded while the program runs.
        if (!library.load()) {
            reasons << library.errorString();
            continue;
        }
        const auto version =
            reinterpret_cast<VersionFunction>(library.resolve("kxrd4_chart_version"));
        const auto size = reinterpret_cast<SizeFunction>(library.resolve("kxrd4_chart_size"));
        const auto create = reinterpret_cast<CreateFunction>(library.resolve("kxrd4_chart_create"));
        if (version == nullptr || size == nullptr || create == nullptr) {
            reasons << QCoreApplication::translate("LiveChartModule",
                                                   "%1: to nie jest moduł wykresu")
                           .arg(library.fileName());
            library.unload();
            continue;
        }
        // The same version, and the same chart as this program knows it.
        if (QLatin1String(version()) != QLatin1String(KxVersion) || size() != sizeof(LiveChart)) {
            reasons << QCoreApplication::translate("LiveChartModule",
                                                   "%1: moduł wykresu innej wersji (%2)")
                           .arg(library.fileName(), QString::fromLatin1(version()));
            library.unload();
            continue;
        }
        lastError.clear();
        return create(parent, &dialogs, &boxes);
    }
    lastError = reasons.join(QLatin1Char('\n'));
    return nullptr;
}
