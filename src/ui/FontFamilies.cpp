#include "FontFamilies.h"

#include <QFontDatabase>
#include <QStringList>
#include <initializer_list>

namespace {

// The first of the families that is installed; the first one when none is
// (the font matching then finds the closest there is).
QString FirstInstalled(std::initializer_list<const char*> families) {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : families) {
        if (installed.contains(QLatin1String(family), Qt::CaseInsensitive))
            return QLatin1String(family);
    }
    return QLatin1String(*families.begin());
}

} // namespace

QString FontFamilies::Proportional() {
    static const QString family = FirstInstalled({"Tahoma", "Liberation Sans", "DejaVu Sans"});
    return family;
}

QString FontFamilies::FixedPitch() {
    static const QString family =
        FirstInstalled({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    return family;
}
