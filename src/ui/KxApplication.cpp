#include "KxApplication.h"

#include <QFont>
#include <QLibraryInfo>
#include <exception>

#include "FontWarmUp.h"
#include "GeneralErrorDisplay.h"
#include "QtMessageBoxes.h"

namespace {
// The font configuration loads while the application connects to the display.
int& StartingFontWarmUp(int& argc) {
    FontWarmUp::Start();
    return argc;
}
} // namespace

KxApplication::KxApplication(int& argc, char** argv)
    : QApplication(StartingFontWarmUp(argc), argv) {
    FontWarmUp::Wait();
    setApplicationName(QStringLiteral("kxrd4-pc"));
    setApplicationVersion(QStringLiteral("1.2"));
    // The window's fonts where they are not installed: metric-compatible or
    // close free fonts, so the texts fit the fixed control sizes.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
}

bool KxApplication::LoadPolishTranslation() {
    if (!qtTranslator_.load(QStringLiteral("qtbase_pl"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return installTranslator(&qtTranslator_);
}

void KxApplication::ShowError(const QString& message) {
    if (errorBoxes_ != nullptr) {
        GeneralErrorDisplay::Show(*errorBoxes_, message);
        return;
    }
    QtMessageBoxes boxes;
    GeneralErrorDisplay::Show(boxes, message);
}

bool KxApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QString());
    }
    return false;
}
