#include <QLibraryInfo>

#include "TranslationFolders.h"

// The system's Qt keeps its translations in its own folder
// (qt6-translations-l10n on Debian).
QStringList TranslationFolders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}
