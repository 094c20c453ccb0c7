#pragma once
// The end of the user's session: sign-out, shutdown, a restart for an update.
// Qt 6 no longer closes the windows then, and the system ends the process soon
// after, so the session manager's request (QGuiApplication::commitDataRequest)
// is answered here as closing the window is: unsaved edits are first kept in
// the recovery file (the process may be ended at any moment from now on), then,
// when the session manager lets the tool ask, the close question ("Tak" saves,
// "Nie" lets the session end, "Anuluj" cancels the sign-out), and the settings
// are written in every case.

#include <QObject>
#include <functional>

class QGuiApplication;

class SessionEnd : public QObject {
    Q_OBJECT

public:
    struct Steps {
        std::function<void()> keepUnsavedEdits; // the recovery file, now
        std::function<bool()> closeQuery;       // the close question; false: stay
        std::function<void()> storeSettings;
    };

    explicit SessionEnd(Steps steps, QObject* parent = nullptr);

    // Answers app's session manager from now on.
    void Watch(QGuiApplication& app);

    // The answer to one request: true when the session may end.
    bool CommitData(bool interactionAllowed);

private:
    Steps steps_;
};
