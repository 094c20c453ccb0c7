#include "SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

SessionEnd::SessionEnd(Steps steps, QObject* parent) : QObject(parent), steps_(std::move(steps)) {}

void SessionEnd::Watch(QGuiApplication& app) {
    connect(
        &app, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            // Asking lets the user's input through to the question. Not
            // released afterwards: Qt ends the interaction itself once the
            // request is answered, and a release here would block the
            // window's input (Windows) or report the interaction done before
            // the cancel (X11).
            const bool interaction = manager.allowsInteraction();
            if (!CommitData(interaction))
                manager.cancel();
        },
        Qt::DirectConnection);
}

bool SessionEnd::CommitData(bool interactionAllowed) {
    // First what must survive the process being ended during the question
    // (Windows ends it when the user chooses to sign out anyway).
    steps_.keepUnsavedEdits();
    steps_.storeSettings();
    if (!interactionAllowed)
        return true;
    const bool mayEnd = steps_.closeQuery();
    // A save in answer to the question may have named a new file.
    steps_.storeSettings();
    return mayEnd;
}
