#pragma once
// The folders searched, in this order, for Qt's own translations
// (qtbase_pl.qm). Each platform has its own list, in
// TranslationFoldersLinux.cpp and TranslationFoldersWindows.cpp.

#include <QStringList>

QStringList TranslationFolders();
