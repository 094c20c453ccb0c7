#pragma once
// The application object. Its event dispatch is the last safety net of the
// general error display: an exception that escapes the handling of any event
// is shown in the box titled "KX-RD4 - PC", and the tool goes on.

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTranslator>
#include <functional>

#include "LanguageChoice.h"

class MessageBoxes;

class KxApplication : public QApplication {
    Q_OBJECT

public:
    KxApplication(int& argc, char** argv);
    // Also waits for the start-up loading (StartUpWarmUp) to end.
    ~KxApplication() override;

    // The tool's own icon, also the icon of every window. The windows get it
    // once the main window has shown its first frame (decoding its pictures
    // would delay that frame), or before a box shown earlier:
    // CompleteWindowIcon gives it to them (once: later calls do nothing).
    static QIcon ApplicationIcon();
    static void CompleteWindowIcon();
    // The font of the application and of its main window: Tahoma, 11 px,
    // hinted in full, its texts laid out without shaping (TextShaping).
    // Waits for the font configuration loading since the application began.
    static QFont WindowFont();

    // Loads Qt's own Polish texts (qtbase_pl), so the standard buttons of the
    // boxes read "Tak", "Nie", "Anuluj". False when the translation is missing.
    bool LoadPolishTranslation();
    // The window in this language (UiLanguage::Current from now on): the
    // tool's own English texts (ToolLanguage::Install) and Qt's own texts
    // for the standard buttons (qtbase_pl or qtbase_en). False when Qt's
    // Polish translation is missing (the buttons then read "Yes", "No").
    bool LoadTranslations(Language language);

    // The boxes the error display uses; real Qt boxes when none is set.
    void SetErrorBoxes(MessageBoxes* boxes) { errorBoxes_ = boxes; }
    // Shows the general error display with this message.
    void ShowError(const QString& message);

    // Called for every press of Esc in any widget of the tool, before the
    // widget acts on it (the stop of the axis); owner is the hook's holder,
    // and only it can clear the hook (with an empty function).
    void SetEscapeHook(QObject* owner, std::function<void()> hook);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QObject* escapeOwner_ = nullptr;
    std::function<void()> escapeHook_;
    MessageBoxes* errorBoxes_ = nullptr;
    QTranslator qtTranslator_;
};
