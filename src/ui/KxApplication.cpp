#include "KxApplication.h"

#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QStyle>
#include <exception>
#include <initializer_list>

#include "FontFamilies.h"
#include "FormControls.h"
#include "GeneralErrorDisplay.h"
#include "GroupBoxFrameStyle.h"
#include "KxVersion.h"
#include "QtMessageBoxes.h"
#include "StartUpWarmUp.h"
#include "TextShaping.h"
#include "ToolLanguage.h"
#include "TranslationFolders.h"
#include "UiLanguage.h"

// The application icon lives in the ui library's resources; register them.
static void InitIconResources() {
    Q_INIT_RESOURCE(shell);
}

namespace {
// The application icon's pictures of these sizes.
QIcon IconOfSizes(std::initializer_list<int> sizes) {
    QIcon icon;
    for (const int size : sizes)
        icon.addPixmap(ResourcePixmap(QStringLiteral(":/app/kxrd4-pc-%1.png").arg(size)));
    return icon;
}

// The font configuration, the image plugins and the pictures load while the
// application connects to the display.
int& StartingWarmUp(int& argc) {
    InitIconResources();
    StartUpWarmUp::Start({QStringLiteral(":/shell"), QStringLiteral(":/app")});
    return argc;
}
} // namespace

KxApplication::KxApplication(int& argc, char** argv) : QApplication(StartingWarmUp(argc), argv) {
    StartUpWarmUp::ApplicationCreated();
    if (QStyle* frames = GroupBoxFrameStyle::Replacing(*style()))
        setStyle(frames);
    setApplicationName(QStringLiteral("kxrd4-pc"));
    setApplicationVersion(QString::fromLatin1(KxVersion));
    // Ties the windows to the installed kxrd4-pc.desktop (its icon and name in
    // the task bar); on X11 the window class is the application name, "kxrd4-pc".
    setDesktopFileName(QStringLiteral("kxrd4-pc"));
}

KxApplication::~KxApplication() {
    StartUpWarmUp::Finish();
}

QFont KxApplication::WindowFont() {
    // The first font asked for: the font configuration must be loaded from
    // here on. Until then (the icon, the translations) it loads alongside.
    StartUpWarmUp::WaitForFonts();
    QFont font(FontFamilies::Proportional());
    font.setPixelSize(11);
    // Hinted in full, as on the platform the form was made for: glyphs on
    // whole pixels, each drawn once (no glyph per fraction of a pixel).
    font.setHintingPreference(QFont::PreferFullHinting);
    // The tool's own texts need no shaping; text from outside gets it where
    // it is shown (TextShaping).
    return TextShaping::Unshaped(font);
}

QIcon KxApplication::ApplicationIcon() {
    return IconOfSizes({16, 32, 48, 64, 128, 256});
}

void KxApplication::CompleteWindowIcon() {
    if (windowIcon().isNull())
        setWindowIcon(ApplicationIcon());
}

bool KxApplication::LoadPolishTranslation() {
    return LoadTranslations(Language::Polish);
}

bool KxApplication::LoadTranslations(Language language) {
    removeTranslator(&qtTranslator_);
    UiLanguage::SetCurrent(language);
    ToolLanguage::Install(language);
    const QString qtFile =
        language == Language::English ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_pl");
    for (const QString& folder : TranslationFolders()) {
        // Qt's English holds next to nothing: installing it may report nothing to do.
        if (qtTranslator_.load(qtFile, folder))
            return installTranslator(&qtTranslator_) || language == Language::English;
    }
    // Qt's own texts are English without a translation.
    return language == Language::English;
}

void KxApplication::ShowError(const QString& message) {
    if (errorBoxes_ != nullptr) {
        GeneralErrorDisplay::Show(*errorBoxes_, message);
        return;
    }
    QtMessageBoxes boxes;
    GeneralErrorDisplay::Show(boxes, message);
}

void KxApplication::SetEscapeHook(QObject* owner, std::function<void()> hook) {
    if (!hook && owner != escapeOwner_)
        return;
    escapeOwner_ = hook ? owner : nullptr;
    escapeHook_ = std::move(hook);
}

bool KxApplication::notify(QObject* receiver, QEvent* event) {
    // A key press comes here once for the widget it is for (its way up to the
    // parents is within), and once for the window it arrived at first.
    if (escapeHook_ && event->type() == QEvent::KeyPress && receiver->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) {
            try {
                escapeHook_();
            } catch (...) {
                // Esc goes on to the widget as ever.
            }
        }
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QString());
    }
    return false;
}
