#include "KxApplication.h"

#include <QFont>
#include <exception>

#include "GeneralErrorDisplay.h"
#include "QtMessageBoxes.h"
#include "TranslationFolders.h"

KxApplication::KxApplication(int& argc, char** argv) : QApplication(argc, argv) {
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
    for (const QString& folder : TranslationFolders()) {
        if (qtTranslator_.load(QStringLiteral("qtbase_pl"), folder))
            return installTranslator(&qtTranslator_);
    }
    return false;
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
