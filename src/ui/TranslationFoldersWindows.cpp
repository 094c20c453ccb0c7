#include <QCoreApplication>
#include <QLibraryInfo>

#include "TranslationFolders.h"

// The tool is unpacked into a folder of its own with the Qt libraries beside
// the executable: the translation lies there or in its translations folder.
// A Qt installation's own folder comes last, for builds run from their build
// folder.
QStringList TranslationFolders() {
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder, folder + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}
